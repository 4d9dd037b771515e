#include "tools/kill_test/reminder_texts.h"

#include <algorithm>

#include "tests/e2e/driver.h"

namespace tl::kill_test {
namespace {

const std::wstring kKeySeparator = L"     ";
const std::wstring kAnnouncementTail = L"\r\n快去要钱吧，时间到了！";
const std::wstring kMissedLead = L"程序没有运行时，下面的提醒已经到时间：";

// Line breaks, tabs and backslashes, byte by byte, as two characters each.
std::string Escaped(const std::wstring& text) {
  std::string out;
  for (char c : e2e::Gbk(text)) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

const std::string& Header() {
  static const std::string header = e2e::Gbk(L"Tallyleaf 提醒 1") + "\r\n";
  return header;
}

}  // namespace

std::wstring ReminderKey(const std::wstring& time, const std::wstring& text) {
  return L"事件：" + time + L"\r\n" + kKeySeparator + text;
}

std::wstring EntryTextOfKey(const std::wstring& key) {
  const size_t at = key.rfind(kKeySeparator);
  return at == std::wstring::npos ? key : key.substr(at + kKeySeparator.size());
}

bool SameRows(const Reminders& a, const Reminders& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const Reminder& x, const Reminder& y) { return x.key == y.key && x.when == y.when; });
}

std::string ReminderFileBytes(const Reminders& rows) {
  std::string out = Header();
  for (const Reminder& r : rows) {
    out += e2e::Gbk(r.announced ? L"已提醒" : L"待提醒");
    for (const std::wstring& field : r.when) out += "\t" + Escaped(field);
    out += "\t" + Escaped(r.key) + "\r\n";
  }
  return out;
}

bool WholeReminderFile(const std::string& bytes) {
  if (!bytes.starts_with(Header())) return false;
  const std::string pending = e2e::Gbk(L"待提醒\t"), announced = e2e::Gbk(L"已提醒\t");
  for (size_t at = Header().size(); at < bytes.size();) {
    const size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) return false;
    const std::string line = bytes.substr(at, end - at);
    if (line.find_first_of("\r\n") != std::string::npos || std::count(line.begin(), line.end(), '\t') != 6) return false;
    if (!line.starts_with(pending) && !line.starts_with(announced)) return false;
    at = end + 2;
  }
  return true;
}

Tells TellsOf(const std::wstring& boxText) {
  Tells tells;
  if (boxText.ends_with(kAnnouncementTail)) {
    tells.keys.push_back(boxText.substr(0, boxText.size() - kAnnouncementTail.size()));
    return tells;
  }
  // The missed reminders, one a line, end with the box or where another notice begins.
  const size_t lead = boxText.find(kMissedLead);
  if (lead == std::wstring::npos) return tells;
  for (size_t at = lead + kMissedLead.size(); boxText.compare(at, 2, L"\r\n") == 0;) {
    at += 2;
    const size_t end = std::min(boxText.find(L"\r\n", at), boxText.size());
    if (end == at) break;
    tells.missed.push_back(boxText.substr(at, end - at));
    at = end;
  }
  return tells;
}

std::wstring MissedLine(const Reminder& r) {
  const auto& w = r.when;
  return EntryTextOfKey(r.key) + L"（" + w[0] + L"年" + w[1] + L"月" + w[2] + L"日" + w[3] + L"时" + w[4] + L"分）";
}

std::string Shown(const std::optional<std::string>& file) {
  if (!file) return "(missing)";
  std::string out;
  for (char c : *file) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return out.size() > 600 ? out.substr(0, 600) + "..." : out;
}

std::string ShownReminderRows(const Reminders& rows) {
  std::string out;
  for (const Reminder& r : rows) {
    out += " [" + Shown(e2e::Gbk(r.key)) + " " + e2e::Gbk(r.when[0] + L"-" + r.when[1] + L"-" + r.when[2] + L" " + r.when[3] +
                                                      L":" + r.when[4]) + (r.announced ? " announced]" : "]");
  }
  return out.empty() ? " (none)" : out;
}

}  // namespace tl::kill_test
