// GalleryWindow: a window that shows a few differently configured Quintel boxes, each with a
// line saying how it is set up and whether its text passes ValidationOK right now. Meant for
// trying the control by hand.
#pragma once

#include <QWidget>

class QGridLayout;

namespace morvane {

class Quintel;

class GalleryWindow : public QWidget {
    Q_OBJECT
  public:
    explicit GalleryWindow(QWidget* parent = nullptr);

  private:
    //! Adds one box at row with a caption; the box is configured by the caller.
    Quintel* AddBox(int row, const QString& caption);
    static QString Describe(const Quintel& box);

    QGridLayout* m_grid;
};

}  // namespace morvane
