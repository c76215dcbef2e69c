#include "files/merge.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>

#include "base/text.h"
#include "files/atomic_file.h"
#include "files/file_errors.h"
#include "files/line_collation.h"
#include "files/whole_file.h"

namespace brivano {
namespace {

// Copies of the distinct lines in large blocks that never move, so that the
// inputs can be released file by file.
class LineArena {
 public:
  std::string_view Add(std::string_view line) {
    if (line.empty()) return std::string_view(kEmpty, 0);
    if (line.size() > room_) {
      const std::size_t size = std::max(kBlockBytes, line.size());
      blocks_.push_back(std::make_unique<char[]>(size));
      next_ = blocks_.back().get();
      room_ = size;
    }
    std::memcpy(next_, line.data(), line.size());
    const std::string_view copy(next_, line.size());
    next_ += line.size();
    room_ -= line.size();
    return copy;
  }

 private:
  static constexpr std::size_t kBlockBytes = 1 << 20;
  static constexpr char kEmpty[1] = {0};
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* next_ = nullptr;
  std::size_t room_ = 0;
};

// The distinct lines, each the first spelling met of its group, in a hash
// table keyed by their folds. The table holds the lines themselves, so that
// a look-up touches the table and the line's bytes and nothing else; lines
// are looked up in batches whose table slots are fetched ahead.
class DistinctLines {
 public:
  explicit DistinctLines(const LineCollation& collation) : collation_(collation) {}

  void AddContent(std::string_view content) {
    std::size_t batched = 0;
    ForEachTextLine(content, std::string_view::npos, [&](std::string_view line) {
      batch_[batched++] = line;
      if (batched == kBatch) {
        AddBatch(batched);
        batched = 0;
      }
    });
    AddBatch(batched);
  }

  std::size_t size() const { return count_; }

  // The distinct lines, in no particular order; the table is gone after.
  std::vector<std::string_view> TakeLines() {
    std::vector<std::string_view> lines;
    lines.reserve(count_);
    for (const Slot& slot : slots_) {
      if (slot.data != nullptr) lines.emplace_back(slot.data, slot.size);
    }
    std::vector<Slot>().swap(slots_);
    std::string().swap(folded_);
    return lines;
  }

 private:
  struct Slot {
    const char* data = nullptr;  // nullptr: empty slot
    std::uint32_t size = 0;
    std::uint32_t hash = 0;  // of the line's fold
  };
  static constexpr std::size_t kBatch = 16;

  void AddBatch(std::size_t count) {
    std::uint32_t hashes[kBatch];
    for (std::size_t i = 0; i < count; ++i) {
      collation_.Fold(batch_[i], folded_);
      hashes[i] = static_cast<std::uint32_t>(std::hash<std::string_view>{}(folded_));
      if (!slots_.empty()) __builtin_prefetch(&slots_[hashes[i] & (slots_.size() - 1)]);
    }
    for (std::size_t i = 0; i < count; ++i) Add(batch_[i], hashes[i]);
  }

  void Add(std::string_view line, std::uint32_t hash) {
    if (line.size() > 0xFFFFFFFFu) throw std::length_error("line too long");
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (slot.data == nullptr) {
        const std::string_view copy = arena_.Add(line);
        slot = {copy.data(), static_cast<std::uint32_t>(copy.size()), hash};
        ++count_;
        return;
      }
      // Folding keeps a line's length, so equal folds have equal lengths.
      if (slot.hash != hash || slot.size != line.size()) continue;
      const std::string_view other(slot.data, slot.size);
      if (other == line || collation_.CompareFolded(other, line) == 0) return;
    }
  }

  void Grow() {
    std::vector<Slot> old(std::max<std::size_t>(1024, slots_.size() * 2));
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.data == nullptr) continue;
      std::size_t i = slot.hash & mask;
      while (slots_[i].data != nullptr) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }

  const LineCollation& collation_;
  LineArena arena_;
  std::vector<Slot> slots_;
  std::size_t count_ = 0;
  std::string_view batch_[kBatch];
  std::string folded_;
};

// One distinct line with its sort key. The first eight key bytes, read as a
// big-endian number, settle most comparisons without touching the key.
struct SortEntry {
  std::uint64_t prefix;
  const std::uint8_t* key;
  std::uint32_t keyLength;  // closing zero byte included
  std::uint32_t line;
};

// The distinct lines' indices in ascending order of the collation.
std::vector<std::uint32_t> SortedOrder(const std::vector<std::string_view>& lines,
                                       LineCollation& collation) {
  static constexpr std::size_t kKeyBlockBytes = 4 << 20;
  // A whole key takes several times the line's size (its UTF-16 form, then
  // up to four bytes a character), so a line longer than this gets only the
  // key's first bytes: a result file's lines are short, and a giant line
  // (a file without line breaks) must not cost gigabytes to sort.
  static constexpr std::size_t kLongLineBytes = 64 << 10;
  static constexpr std::uint32_t kNoKey = UINT32_MAX;
  std::vector<std::vector<std::uint8_t>> keyBlocks;
  std::vector<SortEntry> entries(lines.size());
  std::vector<std::size_t> keyOffsets(lines.size());
  std::vector<std::uint32_t> keyBlockOf(lines.size());
  std::string folded;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    entries[i].line = static_cast<std::uint32_t>(i);
    collation.Fold(lines[i], folded);
    if (folded.size() > kLongLineBytes) {
      entries[i].prefix = collation.SortKeyPrefix(folded);
      entries[i].keyLength = 0;  // no key: compared whole when the prefix ties
      keyBlockOf[i] = kNoKey;
      continue;
    }
    const std::size_t bound = folded.size() * 4 + 32;
    if (keyBlocks.empty() || keyBlocks.back().capacity() - keyBlocks.back().size() < bound) {
      keyBlocks.emplace_back().reserve(std::max(kKeyBlockBytes, bound));
    }
    std::vector<std::uint8_t>& block = keyBlocks.back();
    const std::size_t start = block.size();
    collation.AppendSortKey(folded, block);
    keyBlockOf[i] = static_cast<std::uint32_t>(keyBlocks.size() - 1);
    keyOffsets[i] = start;
    entries[i].keyLength = static_cast<std::uint32_t>(block.size() - start);
  }
  // Blocks no longer grow: their addresses are final now.
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SortEntry& e = entries[i];
    if (keyBlockOf[i] == kNoKey) {
      e.key = nullptr;
      continue;
    }
    e.key = keyBlocks[keyBlockOf[i]].data() + keyOffsets[i];
    std::uint64_t prefix = 0;
    for (std::size_t k = 0; k < 8; ++k) {
      prefix = (prefix << 8) | (k < e.keyLength ? e.key[k] : 0);
    }
    e.prefix = prefix;
  }
  std::vector<std::size_t>().swap(keyOffsets);
  std::vector<std::uint32_t>().swap(keyBlockOf);

  std::sort(entries.begin(), entries.end(), [&](const SortEntry& a, const SortEntry& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (a.key == nullptr || b.key == nullptr) {
      return collation.Compare(lines[a.line], lines[b.line]) < 0;
    }
    // Equal prefixes: a key that ends inside them equals the other key.
    if (a.keyLength > 8) {
      const int byKey = std::memcmp(a.key + 8, b.key + 8, std::min(a.keyLength, b.keyLength) - 8);
      if (byKey != 0) return byKey < 0;
    }
    return collation.CompareFolded(lines[a.line], lines[b.line]) < 0;
  });
  std::vector<std::uint32_t> order(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].line;
  return order;
}

}  // namespace

MergeOutcome MergeFiles(const std::vector<std::filesystem::path>& inputs,
                        const std::filesystem::path& output) {
  MergeOutcome outcome;
  if (inputs.empty()) return outcome;
  LineCollation collation;
  DistinctLines distinct(collation);
  for (const std::filesystem::path& input : inputs) {
    const WholeFile file = ReadWholeFile(input, ReadUntil::FirstNul);
    if (!file.ok()) {
      outcome.distinctLines = distinct.size();
      outcome.error = CannotOpenFileText(input, file.error);
      return outcome;
    }
    distinct.AddContent(file.bytes);
  }
  const std::vector<std::string_view> lines = distinct.TakeLines();
  outcome.distinctLines = lines.size();

  const std::vector<std::uint32_t> order = SortedOrder(lines, collation);
  AtomicFileWriter writer(output);
  for (const std::uint32_t i : order) {
    writer.Write(lines[i]);
    writer.Write("\r\n");
  }
  const FileResult written = writer.Commit();
  if (!written.ok()) outcome.error = CannotCreateFileText(output, written.error);
  return outcome;
}

std::string MergeFinishedText(std::size_t distinctLines) {
  return std::string(kMergeFinishedText) + std::to_string(distinctLines);
}

MergeOutcome MergeWithFeedback(const std::vector<std::filesystem::path>& inputs,
                               const std::filesystem::path& output, UserFeedback& feedback) {
  if (inputs.empty()) return {};
  MergeOutcome outcome;
  {
    BusyCursorScope busy(feedback);
    feedback.SetStatusText(Gbk(kMergeWorkingText));
    feedback.Repaint();
    try {
      outcome = MergeFiles(inputs, output);
    } catch (const std::bad_alloc&) {
      outcome.error = kOutOfMemoryText;
    } catch (const std::exception& error) {
      // No collation data, or a line too long: reported like any other
      // failure.
      outcome.error = error.what();
    }
    feedback.SetStatusText(Gbk(outcome.ok() ? MergeFinishedText(outcome.distinctLines)
                                            : std::string(kMergeFailedText)));
  }
  // As the failure leaves the command: after its status text and with the
  // normal cursor back.
  if (!outcome.ok()) feedback.ShowError(Gbk(outcome.error));
  return outcome;
}

}  // namespace brivano
