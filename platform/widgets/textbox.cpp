// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/textbox.h"

#include "platform/drawing/fonts.h"

#include <QKeyEvent>
#include <QValidator>

#include <algorithm>
#include <limits>

namespace quorvel {

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator
        || c == QChar(0x85) || c == u'\v' || c == u'\f';
}

// A single-line box keeps only the first line of what is put into it: the
// box calls this after every change with the caret just after the text that
// came in (typed, pasted, dropped or set), so everything from the first line
// break up to the caret is that text's further lines.
class FirstLineOnly final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &text, int &caret) const override
    {
        const auto lineBreak = std::find_if(text.cbegin(), text.cend(), isLineBreak);
        if (lineBreak == text.cend())
            return Acceptable;
        const int from = int(lineBreak - text.cbegin());
        const int to = std::max(from, std::min(caret, int(text.size())));
        text.remove(from, to - from);
        // Should the caret have stood before the break, the rest goes too.
        const auto another = std::find_if(text.cbegin() + from, text.cend(), isLineBreak);
        if (another != text.cend())
            text.truncate(int(another - text.cbegin()));
        caret = from;
        return Acceptable;
    }
};

} // namespace

TextBox::TextBox(QWidget *parent, QRect geometry, const QString &text, VbColor backColor)
    : QLineEdit(parent)
{
    // No length limit: a pasted text is kept whole, however long.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new FirstLineOnly(this));
    setText(text);
    setFont(programFont());
    setGeometry(geometry);
    setTextMargins(1, 0, 1, 0);
    setPaletteColor(this, QPalette::Base, backColor);
    setPaletteColor(this, QPalette::Text, SystemWindowText);
    keepMouseMovement(this);
}

void TextBox::setSelStart(int start)
{
    setCursorPosition(std::clamp(start, 0, int(text().size())));
}

void TextBox::setSelLength(int length)
{
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    setSelection(start, std::clamp(length, 0, int(text().size()) - start));
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(keyCode(event->key()), shiftState(event->modifiers()));
    QLineEdit::keyPressEvent(event);
}

} // namespace quorvel
