// The small pictures of the window, drawn in code: one per tool button (with
// its greyed form for the disabled state), one per contact kind, and the
// program's icon.
#pragma once

#include <QIcon>

#include "base/contact_kind.h"

namespace brivano {

enum class ToolPicture { Search, Stop, Save, Progress, Create, Merge, Home, About, Exit };

QIcon ToolButtonIcon(ToolPicture picture);
QIcon ContactKindIcon(ContactKind kind);
QIcon ProgramIcon();

}  // namespace brivano
