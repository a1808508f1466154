#pragma once
// The text of a rich edit control with word wrap, as the chat client's room
// transcript holds it: paragraphs, each ended by a single "\r" (by "\r\n" in
// the first rich edit generation), laid out in display lines that wrap at a
// width in characters. Offsets count characters from the top, a paragraph end
// counting one (two in the first generation); the line messages work on
// display lines, so a paragraph that wraps is several lines. Trimming old
// paragraphs from the top moves every offset; changing the width moves none.
//
// Appending a paragraph costs its own length; reading a range or a line costs
// its length plus a search, however long the history.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WindowApi.h"

namespace clientsim {

using platform::LParam;
using platform::LResult;
using platform::WParam;

// Which rich edit the control is: the first generation ends paragraphs with
// CR LF and does not know EM_GETTEXTLENGTHEX; later ones end them with CR.
enum class RichEditGeneration { Later, First };

class SimRichEdit {
  public:
    // `width`: characters per display line; 0 wraps nothing.
    explicit SimRichEdit(int width = 0, RichEditGeneration generation = RichEditGeneration::Later);

    void AppendParagraph(std::string_view ansi);  // the text, then its paragraph end
    void RemoveFirstParagraphs(std::size_t count);
    void Clear();
    void SetWidth(int width);  // lays the whole text out again
    int Width() const { return width_; }

    std::size_t ParagraphCount() const { return paragraphs_.size(); }
    std::size_t Length() const;  // characters, "\r" counted once
    std::string Range(std::size_t from, std::size_t to) const;
    std::string Text() const { return Range(0, Length()); }

    // Display lines, without the empty line after the last paragraph end.
    std::size_t LineCount() const;
    // -1 past the end, as EM_LINEINDEX answers.
    std::int64_t LineIndex(std::size_t line) const;
    std::size_t LineFromChar(std::size_t offset) const;
    std::size_t LineLength(std::size_t offset) const;  // without the paragraph end

    // Answers the rich edit messages this model knows (the line messages,
    // EM_GETTEXTRANGE, EM_GETTEXTLENGTHEX, WM_GETTEXT, WM_GETTEXTLENGTH,
    // WM_SETTEXT); `handled` is false for any other.
    LResult Handle(unsigned message, WParam wParam, LParam lParam, bool& handled);

  private:
    struct Paragraph {
        std::size_t start;  // in text_, the paragraph end included in length
        std::size_t length;
        std::vector<std::uint32_t> lineStarts;  // within the paragraph; the first is 0
        std::size_t linesBefore;  // display lines before it, counted since the first ever
    };

    void Layout(Paragraph& paragraph) const;
    std::size_t ParagraphAt(std::size_t offset) const;  // the one holding the offset
    std::size_t ParagraphOfLine(std::size_t line) const;
    std::size_t Offset(const Paragraph& p) const { return p.start - dropped_; }
    std::size_t FirstLine() const;  // linesBefore of the first paragraph

    int width_;
    std::string_view eol_;     // the paragraph end
    std::string text_;         // with trimmed characters still at its front
    std::size_t dropped_ = 0;  // how many characters at the front are trimmed
    std::deque<Paragraph> paragraphs_;
};

}  // namespace clientsim
