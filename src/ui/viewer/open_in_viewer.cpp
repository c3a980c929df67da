#include "ui/viewer/open_in_viewer.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

#include "viewer/viewable_file.h"

namespace tarvo {

void ShowFileInViewer(ViewerRegistry& viewers, const std::string& path, QWidget* parent,
                      const ViewerReport& report) {
  const std::string message = "*** The file cannot be shown in the viewer";
  if (const Result viewable = CheckViewable(path); !viewable) {
    report(viewable, message);
    if (QGuiApplication::platformName() != "offscreen") {
      // Not modal: the request may come from another start while a dialog is open here.
      auto* box = new QMessageBox(QMessageBox::Warning, QString::fromStdString(viewers.programTitle()) + " Problem",
                                  QString::fromStdString(message + ": " + viewable.reason()), QMessageBox::Ok, parent);
      box->setAttribute(Qt::WA_DeleteOnClose);
      box->show();
    }
    return;
  }
  TformTextDisplay* viewer = viewers.OpenTextDisplay(path, "text");
  viewer->setTitle("<file>");
  viewer->showViewer();
  report(Result::Noted("Shown in the viewer: " + path), "");
}

void AskAndShowFileInViewer(ViewerRegistry& viewers, QWidget* parent, const ViewerReport& report) {
  const QString chosen = QFileDialog::getOpenFileName(parent, "Open in viewer", QString(), "All Files (*)");
  if (chosen.isEmpty()) return;
  ShowFileInViewer(viewers, chosen.toStdString(), parent, report);
}

}  // namespace tarvo
