// The one crossing between Qt's strings and the core's GBK byte strings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace brivano {

QString QStringFromGbk(std::string_view gbk);
std::string GbkFromQString(const QString& text);

}  // namespace brivano
