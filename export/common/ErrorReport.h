// The error report of the export control and the busy pointer.
//
// A failing operation sets ErrorContext() to a heading and calls ShowError with the error
// it caught; ShowError shows the one "Error" message box and empties the heading.
//
// Usage:
//   try { ... } catch (const std::exception& error) {
//       ErrorContext() = QStringLiteral("Error in opening Table ") + name;
//       ShowError(prompter, error);
//   }
#pragma once

#include "export/common/RuntimeError.h"

#include <QString>
#include <exception>

namespace morvane {

class Prompter;

//! The heading of the next error report; emptied by ShowError.
QString& ErrorContext();

//! Shows the error report: the heading (ErrorContext, or "The following Error Occured:"),
//! two line breaks, then for an engine error every error of its failure (description and
//! line break each), for any other error its description, " (", its number and ")". The
//! pointer is reset first and the box is preceded by a beep.
//! A std::exception that is no RuntimeError reports as "Out of memory" (7) for
//! std::bad_alloc and as its what() text with number 51 otherwise.
void ShowError(Prompter& prompter, const std::exception& current);

//! The number and description under which any caught error is reported: a RuntimeError
//! as it is, std::bad_alloc as 7 "Out of memory", any other exception as 51 with its text.
RuntimeError DescribeError(const std::exception& error);

//! on: the pointer becomes the hourglass (11). Off: an hourglass pointer becomes the
//! default one (0); any other pointer is left alone.
void SetHourglass(Prompter& prompter, bool on);

}  // namespace morvane
