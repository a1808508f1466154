#include "clientsim/SimRichEdit.h"

#include <algorithm>
#include <cstring>

namespace clientsim {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

SimRichEdit::SimRichEdit(int width, RichEditGeneration generation)
    : width_(std::max(width, 0)), eol_(generation == RichEditGeneration::First ? "\r\n" : "\r") {}

void SimRichEdit::Layout(Paragraph& p) const {
    // Word wrap as a rich edit does it: a display line takes as many
    // characters as the width allows and breaks after the last blank or tab
    // among them; blanks at a break stay at the end of the line, even past
    // the width. A word longer than the width is cut.
    p.lineStarts.assign(1, 0);
    const std::size_t length = p.length - eol_.size();  // without the paragraph end
    if (width_ <= 0) return;
    const auto width = static_cast<std::size_t>(width_);
    const char* text = text_.data() + p.start;
    std::size_t pos = 0;
    while (length - pos > width) {
        std::size_t next = 0;
        for (std::size_t i = pos + width + 1; i-- > pos;) {
            if (IsBlank(text[i])) {
                next = i + 1;
                break;
            }
        }
        if (next == 0) next = pos + width;
        while (next < length && text[next] == ' ') ++next;
        if (next >= length) break;
        p.lineStarts.push_back(static_cast<std::uint32_t>(next));
        pos = next;
    }
}

void SimRichEdit::AppendParagraph(std::string_view ansi) {
    Paragraph p;
    p.start = text_.size();
    p.length = ansi.size() + eol_.size();
    p.linesBefore = paragraphs_.empty()
                        ? 0
                        : paragraphs_.back().linesBefore + paragraphs_.back().lineStarts.size();
    text_.append(ansi);
    text_.append(eol_);
    Layout(p);
    paragraphs_.push_back(std::move(p));
}

void SimRichEdit::RemoveFirstParagraphs(std::size_t count) {
    count = std::min(count, paragraphs_.size());
    if (count == 0) return;
    if (count == paragraphs_.size()) {
        Clear();
        return;
    }
    paragraphs_.erase(paragraphs_.begin(),
                      paragraphs_.begin() + static_cast<std::ptrdiff_t>(count));
    dropped_ = paragraphs_.front().start;
    // Give the trimmed characters back now and then, in one go.
    if (dropped_ > 4096 && dropped_ > text_.size() / 2) {
        text_.erase(0, dropped_);
        for (auto& p : paragraphs_) p.start -= dropped_;
        dropped_ = 0;
    }
}

void SimRichEdit::Clear() {
    text_.clear();
    dropped_ = 0;
    paragraphs_.clear();
}

void SimRichEdit::SetWidth(int width) {
    width_ = std::max(width, 0);
    std::size_t before = paragraphs_.empty() ? 0 : paragraphs_.front().linesBefore;
    for (auto& p : paragraphs_) {
        p.linesBefore = before;
        Layout(p);
        before += p.lineStarts.size();
    }
}

std::size_t SimRichEdit::Length() const {
    return text_.size() - dropped_;
}

std::string SimRichEdit::Range(std::size_t from, std::size_t to) const {
    to = std::min(to, Length());
    if (from >= to) return std::string();
    return text_.substr(dropped_ + from, to - from);
}

std::size_t SimRichEdit::FirstLine() const {
    return paragraphs_.empty() ? 0 : paragraphs_.front().linesBefore;
}

std::size_t SimRichEdit::LineCount() const {
    if (paragraphs_.empty()) return 0;
    const Paragraph& last = paragraphs_.back();
    return last.linesBefore + last.lineStarts.size() - FirstLine();
}

std::size_t SimRichEdit::ParagraphAt(std::size_t offset) const {
    auto it = std::upper_bound(paragraphs_.begin(), paragraphs_.end(), offset + dropped_,
                               [](std::size_t at, const Paragraph& p) { return at < p.start; });
    return static_cast<std::size_t>(it - paragraphs_.begin()) - 1;
}

std::size_t SimRichEdit::ParagraphOfLine(std::size_t line) const {
    std::size_t absolute = line + FirstLine();
    auto it =
        std::upper_bound(paragraphs_.begin(), paragraphs_.end(), absolute,
                         [](std::size_t at, const Paragraph& p) { return at < p.linesBefore; });
    return static_cast<std::size_t>(it - paragraphs_.begin()) - 1;
}

std::int64_t SimRichEdit::LineIndex(std::size_t line) const {
    const std::size_t count = LineCount();
    if (line == count) return static_cast<std::int64_t>(Length());
    if (line > count) return -1;
    const Paragraph& p = paragraphs_[ParagraphOfLine(line)];
    std::size_t within = line + FirstLine() - p.linesBefore;
    return static_cast<std::int64_t>(Offset(p) + p.lineStarts[within]);
}

std::size_t SimRichEdit::LineFromChar(std::size_t offset) const {
    if (offset >= Length()) return LineCount();
    const Paragraph& p = paragraphs_[ParagraphAt(offset)];
    auto within = static_cast<std::uint32_t>(offset - Offset(p));
    auto it = std::upper_bound(p.lineStarts.begin(), p.lineStarts.end(), within);
    return p.linesBefore - FirstLine() + static_cast<std::size_t>(it - p.lineStarts.begin()) - 1;
}

std::size_t SimRichEdit::LineLength(std::size_t offset) const {
    if (offset >= Length()) return 0;
    const Paragraph& p = paragraphs_[ParagraphAt(offset)];
    auto within = static_cast<std::uint32_t>(offset - Offset(p));
    auto it = std::upper_bound(p.lineStarts.begin(), p.lineStarts.end(), within);
    std::size_t index = static_cast<std::size_t>(it - p.lineStarts.begin()) - 1;
    std::size_t end =
        index + 1 < p.lineStarts.size() ? p.lineStarts[index + 1] : p.length - eol_.size();
    return end - p.lineStarts[index];
}

LResult SimRichEdit::Handle(unsigned message, WParam wParam, LParam lParam, bool& handled) {
    handled = true;
    switch (message) {
        case platform::EM_GETLINECOUNT:
            // Counts the empty line after the last paragraph end, as the
            // control does: an empty control has one line.
            return static_cast<LResult>(LineCount() + 1);
        case platform::EM_LINEINDEX: {
            // -1 (as a WPARAM) means the line of the caret, which stays at the end.
            std::size_t line =
                wParam == static_cast<WParam>(-1) ? LineCount() : static_cast<std::size_t>(wParam);
            return static_cast<LResult>(LineIndex(line));
        }
        case platform::EM_LINEFROMCHAR:
            return static_cast<LResult>(
                LineFromChar(wParam == static_cast<WParam>(-1) ? Length() : wParam));
        case platform::EM_LINELENGTH:
            return static_cast<LResult>(
                LineLength(wParam == static_cast<WParam>(-1) ? Length() : wParam));
        case platform::EM_GETLINE: {
            char* buffer = reinterpret_cast<char*>(lParam);
            if (!buffer || wParam >= LineCount()) return 0;
            std::uint16_t room = 0;
            std::memcpy(&room, buffer, sizeof room);  // the first word holds the buffer size
            auto start = static_cast<std::size_t>(LineIndex(wParam));
            std::size_t length = LineLength(start);
            // The paragraph end comes with the line that holds it.
            if (start + length < Length() && text_[dropped_ + start + length] == '\r') {
                length += eol_.size();
            }
            std::size_t n = std::min<std::size_t>(length, room);
            std::memcpy(buffer, text_.data() + dropped_ + start, n);
            return static_cast<LResult>(n);
        }
        case platform::EM_GETTEXTRANGE: {
            auto* range = reinterpret_cast<platform::TextRangeA*>(lParam);
            if (!range || !range->lpstrText) return 0;
            const std::size_t length = Length();
            std::int64_t from = std::max<std::int64_t>(range->chrg.cpMin, 0);
            std::int64_t to =
                range->chrg.cpMax < 0 ? static_cast<std::int64_t>(length) : range->chrg.cpMax;
            to = std::min<std::int64_t>(to, static_cast<std::int64_t>(length));
            std::size_t n = to > from ? static_cast<std::size_t>(to - from) : 0;
            if (n) std::memcpy(range->lpstrText, text_.data() + dropped_ + from, n);
            range->lpstrText[n] = '\0';
            return static_cast<LResult>(n);
        }
        case platform::EM_GETTEXTLENGTHEX: {
            if (eol_.size() == 2) break;  // the first generation does not know it
            const auto* how = reinterpret_cast<const platform::GetTextLengthEx*>(wParam);
            bool crlf = how && (how->flags & platform::GTL_USECRLF);
            return static_cast<LResult>(Length() + (crlf ? paragraphs_.size() : 0));
        }
        case platform::WM_GETTEXTLENGTH:
            return static_cast<LResult>(Length() + (eol_.size() == 1 ? paragraphs_.size() : 0));
        case platform::WM_GETTEXT: {
            char* buffer = reinterpret_cast<char*>(lParam);
            if (!buffer || wParam == 0) return 0;
            std::string all;
            all.reserve(Length() + paragraphs_.size());
            for (char c : Text()) {
                all.push_back(c);
                if (c == '\r' && eol_.size() == 1) all.push_back('\n');
            }
            std::size_t n = std::min<std::size_t>(all.size(), wParam - 1);
            std::memcpy(buffer, all.data(), n);
            buffer[n] = '\0';
            return static_cast<LResult>(n);
        }
        case platform::WM_SETTEXT: {
            Clear();
            const char* text = reinterpret_cast<const char*>(lParam);
            std::string_view rest = text ? text : "";
            while (!rest.empty()) {
                std::size_t end = rest.find_first_of("\r\n");
                AppendParagraph(rest.substr(0, end));
                if (end == std::string_view::npos) break;
                std::size_t skip = rest.compare(end, 2, "\r\n") == 0 ? 2 : 1;
                rest.remove_prefix(end + skip);
            }
            return 1;
        }
        default:
            break;
    }
    handled = false;
    return 0;
}

}  // namespace clientsim
