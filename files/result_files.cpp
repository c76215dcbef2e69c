#include "files/result_files.h"

#include "base/text.h"
#include "files/file_errors.h"

namespace brivano {

std::string ProposedResultFileName(std::int32_t buyerCounter) {
  return std::to_string(buyerCounter) + ".txt";
}

FileResult WriteResultFile(const std::filesystem::path& path, const BuyerList& buyers) {
  AtomicFileWriter writer(path);
  for (const ContactValue& item : buyers.items()) {
    writer.Write(item.value);
    writer.Write("\r\n");
  }
  return writer.Commit();
}

bool SaveResultFile(const std::filesystem::path& path, const BuyerList& buyers,
                    UserFeedback& feedback) {
  feedback.Repaint();
  const FileResult result = WriteResultFile(path, buyers);
  if (!result.ok()) feedback.ShowError(Gbk(IoErrorText(result.error)));
  return result.ok();
}

}  // namespace brivano
