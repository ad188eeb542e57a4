#include "config/ini_file.h"

#include <QFile>
#include <algorithm>
#include <utility>

#include "common/replace_file.h"
#include "common/text.h"

namespace {

constexpr std::string_view kBlanks = " \t\r\f\v";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string Lower(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

// The name of a section header line "[name]", or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    const size_t close = trimmed.rfind(']');
    if (trimmed.empty() || trimmed.front() != '[' || close == std::string_view::npos)
        return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    sections_.push_back({});  // the lines before the first section header
    QFile file(QString::fromStdString(path_));
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray contents = file.readAll();
    Parse(std::string_view(contents.constData(), static_cast<size_t>(contents.size())));
}

void IniFile::Parse(std::string_view contents) {
    while (!contents.empty()) {
        const size_t end = contents.find('\n');
        std::string_view line = contents.substr(0, end);
        contents.remove_prefix(end == std::string_view::npos ? contents.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (const auto name = SectionName(line))
            AddSection(std::string(line), *name);
        else
            AddLine(sections_.back(), std::string(line));
    }
}

IniFile::Section& IniFile::AddSection(std::optional<std::string> header, std::string_view name) {
    sectionIndex_.try_emplace(Lower(name), sections_.size());
    return sections_.emplace_back(Section{std::move(header), {}, {}});
}

void IniFile::AddLine(Section& section, std::string text) {
    Line line{std::move(text), {}};
    const size_t equals = line.text.find('=');
    if (equals != std::string::npos) {
        const std::string_view textView = line.text;
        line.value = Trim(textView.substr(equals + 1));
        const std::string_view key = Trim(textView.substr(0, equals));
        if (!key.empty()) section.keys.try_emplace(Lower(key), section.lines.size());
    }
    section.lines.push_back(std::move(line));
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
    const auto foundSection = sectionIndex_.find(Lower(section));
    if (foundSection == sectionIndex_.end()) return std::nullopt;
    const Section& entries = sections_[foundSection->second];
    const auto foundKey = entries.keys.find(Lower(key));
    if (foundKey == entries.keys.end()) return std::nullopt;
    return entries.lines[foundKey->second].value;
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                             int32_t fallback) const {
    const std::optional<std::string> value = Read(section, key);
    if (!value) return fallback;
    std::string_view digits = *value;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') return fallback;
    const uint32_t magnitude = ParseDecimal(digits);
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
    std::string oneLine(value);
    std::replace_if(
        oneLine.begin(), oneLine.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const auto foundSection = sectionIndex_.find(Lower(section));
    Section& entries = foundSection != sectionIndex_.end()
                           ? sections_[foundSection->second]
                           : AddSection("[" + std::string(section) + "]", section);
    const auto foundKey = entries.keys.find(Lower(key));
    if (foundKey != entries.keys.end()) {
        // The key keeps the spelling it has in the file.
        Line& line = entries.lines[foundKey->second];
        const std::string_view oldText = line.text;
        line.text = std::string(Trim(oldText.substr(0, oldText.find('=')))) + "=" + oneLine;
        line.value = Trim(oneLine);
        return;
    }
    std::string text = std::string(key) + "=" + oneLine;
    // A new key goes after the section's last entry, before the blank lines that end it; only
    // blank lines move, so the key index stays valid.
    size_t position = entries.lines.size();
    while (position > 0 && Trim(entries.lines[position - 1].text).empty()) --position;
    entries.lines.insert(entries.lines.begin() + static_cast<std::ptrdiff_t>(position),
                         {std::move(text), std::string(Trim(oneLine))});
    entries.keys.emplace(Lower(key), position);
}

bool IniFile::Save() const {
    std::string contents;
    for (const Section& section : sections_) {
        if (section.header) contents.append(*section.header).append(kLineEnd);
        for (const Line& line : section.lines) contents.append(line.text).append(kLineEnd);
    }
    return ReplaceFileContents(path_, contents);
}
