#include "views/frame_search.h"

#include <algorithm>
#include <cctype>

#include "common/text.h"
#include "session/frame_store.h"

namespace {

constexpr size_t kMaxIdDigits = 8;

std::string Without(const std::string& text, char removed) {
    std::string kept;
    for (char c : text)
        if (c != removed) kept += c;
    return kept;
}

bool AllHex(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
}

}  // namespace

std::optional<FrameQuery> FrameQuery::Parse(Field field, const std::string& text) {
    std::string digits = Without(text, ' ');
    FrameQuery query;
    query.field = field;
    if (field == Field::Identifier) {
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
            digits.erase(0, 2);
        if (!AllHex(digits) || digits.size() > kMaxIdDigits) return std::nullopt;
        query.id = ParseHex(digits);
        return query;
    }
    if (!AllHex(digits) || digits.size() % 2 != 0) return std::nullopt;
    for (size_t i = 0; i < digits.size(); i += 2)
        query.bytes.push_back(static_cast<uint8_t>(ParseHex(digits.substr(i, 2))));
    return query;
}

bool FrameQuery::Matches(const CANBuffer& record) const {
    if (field == Field::Identifier) return record.id == id;
    const auto begin = record.data.begin();
    const auto end = begin + std::min<size_t>(record.dlc, record.data.size());
    return std::search(begin, end, bytes.begin(), bytes.end()) != end;
}

std::optional<size_t> FindFrame(const FrameStore& store, const FrameQuery& query,
                                std::ptrdiff_t current, bool forward) {
    const auto size = static_cast<std::ptrdiff_t>(store.Size());
    const std::ptrdiff_t step = forward ? 1 : -1;
    for (std::ptrdiff_t i = current + step; i >= 0 && i < size; i += step)
        if (query.Matches(store[static_cast<size_t>(i)])) return static_cast<size_t>(i);
    return std::nullopt;
}

std::optional<size_t> FindSequence(const FrameStore& store, uint32_t sequence) {
    const auto found = std::lower_bound(
        store.begin(), store.end(), sequence,
        [](const CANBuffer& record, uint32_t wanted) { return record.sequence < wanted; });
    if (found == store.end() || found->sequence != sequence) return std::nullopt;
    return static_cast<size_t>(found - store.begin());
}
