#include "app/reminder_file.h"

#include "app/entry_text.h"

namespace tl::app {
namespace {

constexpr std::string_view kHeader = "Tallyleaf 提醒 1";
constexpr std::string_view kPending = "待提醒", kAnnounced = "已提醒";
constexpr char kSeparator = '\t';

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
}

std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\\') {
      out += text[at];
      continue;
    }
    if (++at == text.size()) return std::nullopt;
    switch (text[at]) {
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case '\\': out += '\\'; break;
      default: return std::nullopt;
    }
  }
  return out;
}

// The fields of a line between tabs.
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (size_t tab; (tab = line.find(kSeparator)) != std::string_view::npos; line.remove_prefix(tab + 1)) {
    fields.push_back(line.substr(0, tab));
  }
  fields.push_back(line);
  return fields;
}

std::optional<KeptReminder> ReadLine(std::string_view line) {
  const std::vector<std::string_view> fields = Fields(line);
  if (fields.size() != 7 || (fields[0] != kPending && fields[0] != kAnnounced)) return std::nullopt;
  KeptReminder reminder;
  reminder.announced = fields[0] == kAnnounced;
  for (size_t i = 0; i <= reminder.when.size(); ++i) {
    auto text = Unescaped(fields[1 + i]);
    if (!text) return std::nullopt;
    (i < reminder.when.size() ? reminder.when[i] : reminder.key) = std::move(*text);
  }
  return reminder;
}

}  // namespace

std::string ReminderFileText(std::span<const KeptReminder> reminders) {
  std::string out(kHeader);
  out += kLineEnd;
  for (const KeptReminder& r : reminders) {
    out += r.announced ? kAnnounced : kPending;
    for (const std::string& field : r.when) {
      out += kSeparator;
      AppendEscaped(out, field);
    }
    out += kSeparator;
    AppendEscaped(out, r.key);
    out += kLineEnd;
  }
  return out;
}

std::optional<std::vector<KeptReminder>> ReadReminderFile(std::string_view bytes) {
  if (!IsPlainGbk(bytes) || !bytes.starts_with(kHeader) || !bytes.ends_with(kLineEnd)) return std::nullopt;
  std::vector<KeptReminder> reminders;
  std::string_view rest = bytes.substr(kHeader.size());
  if (!rest.starts_with(kLineEnd)) return std::nullopt;
  for (rest.remove_prefix(kLineEnd.size()); !rest.empty();) {
    const size_t end = rest.find(kLineEnd);
    auto reminder = ReadLine(rest.substr(0, end));
    if (!reminder) return std::nullopt;
    reminders.push_back(std::move(*reminder));
    rest.remove_prefix(end + kLineEnd.size());
  }
  // Only what a save would write again is read: nothing of the file is lost when it is replaced.
  if (ReminderFileText(reminders) != bytes) return std::nullopt;
  return reminders;
}

KeptFate FateAtStart(const KeptReminder& reminder, Instant now) {
  if (reminder.announced) return KeptFate::Drop;
  const auto& w = reminder.when;
  const auto minute = ReminderMinute(w[0], w[1], w[2], w[3], w[4]);
  // A row whose columns spell no minute is never due: kept as it was, as within a run.
  const auto at = minute ? AnnouncementInstant(*minute) : std::nullopt;
  return at && *at <= now ? KeptFate::Missed : KeptFate::Restore;
}

}  // namespace tl::app
