// Parameter: one parameter of a stored query: its name and the value (text) that the query
// uses when it runs; the engine converts the text when the query runs.
#pragma once

#include <QString>
#include <QVariant>

namespace morvane {

class Parameter {
  public:
    explicit Parameter(QString name, short type = 10) : name_(std::move(name)), type_(type) {}

    const QString& Name() const { return name_; }
    short Type() const { return type_; }
    const QVariant& Value() const { return value_; }
    void SetValue(const QString& value) { value_ = value; }

  private:
    QString name_;
    short type_;
    QVariant value_;
};

}  // namespace morvane
