#include "config/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "common/replace_file.h"
#include "common/text.h"

namespace {

constexpr std::string_view kBlanks = " \t\r\f\v";
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kNotRegular[] = "Not a regular file";
constexpr char kTooLarge[] = "Larger than 16 MB";

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

// The key of a key line "key=value", or nothing for any other line.
std::optional<std::string_view> KeyName(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = Trim(line.substr(0, equals));
    if (key.empty()) return std::nullopt;
    return key;
}

}  // namespace

static_assert(IniFile::kMaxReadBytes == 16 * 1024 * 1024, "kTooLarge names the limit");

IniFile::IniFile(std::string path, Start start) : path_(std::move(path)) {
    sections_.push_back({});  // the lines before the first section header
    if (start == Start::kFromFile) ReadContents();
    Parse();
}

void IniFile::ReadContents() {
    const QString name = QString::fromStdString(path_);
    const QFileInfo info(name);
    if (!info.exists()) return;
    // A device or a pipe is never opened: it could block, or never end.
    if (!info.isFile()) {
        readFailure_ = kNotRegular;
        return;
    }
    if (info.size() > kMaxReadBytes) {
        readFailure_ = kTooLarge;
        return;
    }
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        readFailure_ = file.errorString().toStdString();
        return;
    }
    contents_.resize(static_cast<size_t>(info.size()));
    const qint64 read = file.read(contents_.data(), info.size());
    if (read < 0) {
        readFailure_ = file.errorString().toStdString();
        contents_.clear();
        return;
    }
    contents_.resize(static_cast<size_t>(read));
}

void IniFile::Parse() {
    const std::string_view contents = contents_;
    size_t begin = 0;
    while (begin < contents.size()) {
        const size_t end = contents.find('\n', begin);
        const size_t next = end == std::string_view::npos ? contents.size() : end + 1;
        size_t size = (end == std::string_view::npos ? contents.size() : end) - begin;
        if (size > 0 && contents[begin + size - 1] == '\r') --size;
        AddLine(begin, size, next);
        begin = next;
    }
}

void IniFile::AddLine(size_t begin, size_t size, size_t next) {
    using Kind = Piece::Kind;
    const std::string_view line = std::string_view(contents_).substr(begin, size);
    if (const auto name = SectionName(line)) {
        AddSection(Piece{Kind::kHeader, begin, size, std::nullopt}, *name);
        return;
    }
    Section& section = sections_.back();
    if (const auto key = KeyName(line)) {
        section.keys.try_emplace(Lower(*key), section.pieces.size());
        section.pieces.push_back({Kind::kKey, begin, size, std::nullopt});
        return;
    }
    // Lines that are not keys join the run before them when it is of their kind.
    const Kind kind = Trim(line).empty() ? Kind::kBlank : Kind::kOther;
    if (!section.pieces.empty() && section.pieces.back().kind == kind) {
        Piece& run = section.pieces.back();
        run.size = next - run.begin;
        return;
    }
    section.pieces.push_back({kind, begin, next - begin, std::nullopt});
}

IniFile::Section& IniFile::AddSection(Piece header, std::string_view name) {
    sectionIndex_.try_emplace(Lower(name), sections_.size());
    Section& section = sections_.emplace_back();
    section.pieces.push_back(std::move(header));
    return section;
}

std::string_view IniFile::Text(const Piece& piece) const {
    if (piece.written) return *piece.written;
    return std::string_view(contents_).substr(piece.begin, piece.size);
}

std::string_view IniFile::Value(const Piece& piece) const {
    const std::string_view text = Text(piece);
    return Trim(text.substr(text.find('=') + 1));
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
    const auto foundSection = sectionIndex_.find(Lower(section));
    if (foundSection == sectionIndex_.end()) return std::nullopt;
    const Section& entries = sections_[foundSection->second];
    const auto foundKey = entries.keys.find(Lower(key));
    if (foundKey == entries.keys.end()) return std::nullopt;
    return std::string(Value(entries.pieces[foundKey->second]));
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

size_t IniFile::KeyCount(std::string_view section) const {
    const auto found = sectionIndex_.find(Lower(section));
    return found == sectionIndex_.end() ? 0 : sections_[found->second].keys.size();
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
    using Kind = Piece::Kind;
    std::string oneLine(value);
    std::replace_if(
        oneLine.begin(), oneLine.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const auto foundSection = sectionIndex_.find(Lower(section));
    Section& entries =
        foundSection != sectionIndex_.end()
            ? sections_[foundSection->second]
            : AddSection(Piece{Kind::kHeader, 0, 0, "[" + std::string(section) + "]"}, section);
    const auto foundKey = entries.keys.find(Lower(key));
    if (foundKey != entries.keys.end()) {
        // The key keeps the spelling it has in the file.
        Piece& line = entries.pieces[foundKey->second];
        const std::string_view oldText = Text(line);
        line.written = std::string(Trim(oldText.substr(0, oldText.find('=')))) + "=" + oneLine;
        return;
    }
    // A new key goes after the section's last entry, before the blank lines that end it; only
    // blank runs move, so the key index stays valid.
    size_t position = entries.pieces.size();
    while (position > 0 && entries.pieces[position - 1].kind == Kind::kBlank) --position;
    entries.pieces.insert(entries.pieces.begin() + static_cast<std::ptrdiff_t>(position),
                          {Kind::kKey, 0, 0, std::string(key) + "=" + oneLine});
    entries.keys.emplace(Lower(key), position);
}

void IniFile::AppendLines(const Piece& piece, std::string& out) const {
    if (piece.kind == Piece::Kind::kHeader || piece.kind == Piece::Kind::kKey) {
        out.append(Text(piece)).append(kLineEnd);
        return;
    }
    std::string_view run = Text(piece);
    while (!run.empty()) {
        const size_t end = run.find('\n');
        std::string_view line = run.substr(0, end);
        run.remove_prefix(end == std::string_view::npos ? run.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.append(line).append(kLineEnd);
    }
}

bool IniFile::Save(std::string* failure) const {
    const QFileInfo target(QString::fromStdString(path_));
    if (target.exists() && !target.isFile()) {
        if (failure != nullptr) *failure = kNotRegular;
        return false;
    }
    std::string contents;
    contents.reserve(contents_.size() + contents_.size() / 8);
    for (const Section& section : sections_)
        for (const Piece& piece : section.pieces) AppendLines(piece, contents);
    return ReplaceFileContents(path_, contents, failure);
}
