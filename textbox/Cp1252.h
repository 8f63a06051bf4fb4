// Cp1252: the character codes of the Western code page 1252 ("windows-1252") that the text
// box's key rules are written for. A typed character is turned into its code, the rules work on
// codes, and the resulting code is turned back into a character.
//
// Codes 0 to 255 are code-page codes. A character the code page lacks keeps its UTF-16 value
// (always 256 or above), so it can never be mistaken for a code-page letter; the C1 control
// characters that the code page lacks answer 0, the code of a discarded key.
//
// Hand-written: only the 32 codes 0x80 to 0x9F differ from Latin-1, and a table of them keeps
// the control free of any text-codec back end.
#pragma once

#include <QChar>

namespace morvane {

class Cp1252 {
  public:
    //! The code of ch: 0..255 for code-page characters, the UTF-16 value (>= 256) for others,
    //! 0 for C1 controls the code page does not define.
    static int CodeOf(QChar ch);

    //! The character of code: the code-page character for 0..255, else the UTF-16 unit.
    //! REQUIRES: 0 <= code <= 0xFFFF.
    static QChar CharOf(int code);
};

}  // namespace morvane
