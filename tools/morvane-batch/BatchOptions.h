// BatchOptions: the command line of morvane-batch, parsed into one request. The request
// says where the source is, which table or stored query to export, where to, with which
// named setting, and how the tool answers the run's questions and shows its progress.
//
// Usage:
//   BatchRequest request;
//   QString problem;
//   switch (ParseBatchArguments(app.arguments().mid(1), request, problem)) {
//       case BatchParse::Run:   ...  // request is complete
//       case BatchParse::Help:  ...  // print BatchUsageText() to stdout
//       case BatchParse::Error: ...  // print problem and BatchUsageText() to stderr
//   }
#pragma once

#include "export/common/ConsolePrompter.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace morvane {

//! How the run's output is shown on the console.
struct BatchDisplay {
    bool progress = false;  //!< --progress: the console bar (and Ctrl-C stops the run)
    bool summary = false;   //!< --summary: the "End of export" box
};

//! Everything one batch export needs, as given on the command line.
struct BatchRequest {
    QString database;        //!< --database PATH (required)
    qint16 connectType = 4;  //!< --type N: the source's database type (4: native format)
    QString password;        //!< --password PW
    QString tableName;       //!< --table NAME (exactly one of table and query)
    QString queryName;       //!< --query NAME
    QString exportFile;      //!< --out FILE (required)
    QString iniFile;         //!< --ini FILE
    QString setting;         //!< --setting NAME; empty applies the defaults
    //! --param NAME=VALUE: answers the parameter box of the stored query's parameter NAME.
    QHash<QString, QString> parameters;
    bool overwrite = false;  //!< --overwrite: replace an existing file without asking
    BatchDisplay display;
    //! --yes / --no; by default every question takes its default button.
    ConsolePrompter::QuestionAnswer answers = ConsolePrompter::QuestionAnswer::DefaultButton;
};

enum class BatchParse { Run, Help, Error };

//! Parses the arguments (without the program name). On Error, `problem` says what is
//! wrong in one line; `request` is complete only on Run.
BatchParse ParseBatchArguments(const QStringList& arguments, BatchRequest& request,
                               QString& problem);

//! The usage text, several lines ending with a line end.
QString BatchUsageText();

}  // namespace morvane
