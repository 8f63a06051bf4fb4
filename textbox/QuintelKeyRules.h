// QuintelKeyRules: what the validating text box does with one typed character code. The code
// is filtered by key class (CheckKey), the diameter sign and the date separator are substituted,
// and the case of letters is forced (CheckCase). Codes are those of Cp1252; 0 means "discard".
//
// Usage:
//   QuintelKeyRules::Settings settings{4 /*digits*/, 0, 0, 0};
//   int code = QuintelKeyRules::Apply(Cp1252::CodeOf(ch), settings);   // 0 = key discarded
//
// The rules are stateless: the control passes its current property values on every key.
#pragma once

namespace morvane {

class QuintelKeyRules {
  public:
    //! The properties the rules read, as the control holds them at the moment of the key.
    struct Settings {
        int checkKey = 0;       //!< 1 letters, 2 letters and digits, 3 digits and date, 4 digits
        int checkCase = 0;      //!< 1 upper case, 2 lower case
        short diameterKey = 0;  //!< code replaced by the diameter sign when checkKey is 0
        int dateSeparator = 0;  //!< 47 slash, 45 hyphen, anything else mixed
    };

    static constexpr int kDiameterSign = 216;  //!< the letter O with stroke

    //! The code to insert for the typed code, 0 when the key is discarded.
    static int Apply(int code, const Settings& settings);

    //! The key-class filter alone (with the diameter and separator substitutions).
    static int Filter(int code, const Settings& settings);

    //! The case step alone; codes outside the letter ranges pass unchanged.
    static int ForceCase(int code, int checkCase);

  private:
    static bool IsLetterCode(int code);
    static bool IsDigitCode(int code);
    static bool IsEditingCode(int code);
};

}  // namespace morvane
