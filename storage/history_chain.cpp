// The bytes of a record that the history's chain of SHA-256 digests vouches for.
#include <string>
#include <string_view>

#include "core/config_view.h"
#include "storage/history.h"

namespace quorvex {

namespace {

// "<name> <length>:<bytes>\n": the length makes every field's end unambiguous, whatever bytes a
// name or a path holds, so two different records never give the same contents.
void AddField(std::string& contents, std::string_view name, std::string_view value) {
  contents += name;
  contents += ' ';
  contents += std::to_string(value.size());
  contents += ':';
  contents += value;
  contents += '\n';
}

}  // namespace

std::string HistoryRecordContents(const HistoryRecord& r) {
  // A new field goes in a new version, so that every older record still checks.
  std::string contents = "quorvex-history 1\n";
  AddField(contents, "id", std::to_string(r.id));
  AddField(contents, "time", r.timeUtc);
  AddField(contents, "user", r.user);
  AddField(contents, "host", r.host);
  AddField(contents, "program", r.program);
  AddField(contents, "action", r.action);
  AddField(contents, "outcome", r.outcome);
  AddField(contents, "message", r.message);
  AddField(contents, "port", r.port);
  AddField(contents, "device", r.device);
  AddField(contents, "tag", r.tag);
  AddField(contents, "file", r.file);
  AddField(contents, "file-sha256", r.fileSha256);
  AddField(contents, "image", r.image ? ImageHex(*r.image) : std::string());
  AddField(contents, "read-back-equal",
           r.readBackEqual ? (*r.readBackEqual ? "1" : "0") : std::string());
  AddField(contents, "differences", std::to_string(r.differences.size()));
  for (const std::string& difference : r.differences) AddField(contents, "difference", difference);
  AddField(contents, "duration-ms", std::to_string(r.durationMs));
  AddField(contents, "refers-to", std::to_string(r.refersTo));
  AddField(contents, "previous-sha256", r.previousHash);
  return contents;
}

}  // namespace quorvex
