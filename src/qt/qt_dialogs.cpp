#include "qt/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <QWidget>

#include "qt/binders.h"

namespace fw::qt {

QString QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> QtDialogs::Ask(const ui::FileDialogOptions& options, bool save) {
  QFileDialog dialog(parent_, QString::fromStdString(options.title),
                     QString::fromStdString(options.initialDir), QtFilter(options.filter));
  dialog.setObjectName(QStringLiteral("FileDialog"));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!options.defaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(options.defaultExt));
  ++fileDialogDepth_;
  const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  --fileDialogDepth_;
  if (!accepted) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtDialogs::OpenFile(const ui::FileDialogOptions& options) {
  return Ask(options, false);
}

std::optional<std::string> QtDialogs::SaveFile(const ui::FileDialogOptions& options) {
  return Ask(options, true);
}

void QtDialogs::MessageBox(const std::string& text, const std::string& caption) {
  lastMessage_ = text;
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption), ScreenText(text), QMessageBox::Ok,
                  parent_);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.exec();
  ReturnToParent();
}

void QtDialogs::ShowError(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Fretwerk"), ScreenText(text), QMessageBox::Ok,
                  parent_);
  box.setObjectName(QStringLiteral("ErrorBox"));
  box.exec();
  ReturnToParent();
}

std::optional<bool> QtDialogs::AskReplace(const std::string& path) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Fretwerk"),
                  QString::fromStdString(path + " already exists. Replace it?"),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setObjectName(QStringLiteral("ReplaceBox"));
  box.setDefaultButton(QMessageBox::No);
  const bool replace = box.exec() == QMessageBox::Yes;
  ReturnToParent();
  return replace;
}

// The window that opened a box becomes active again when it closes, whatever the
// desktop (or its absence) would choose.
void QtDialogs::ReturnToParent() {
  if (parent_ != nullptr) parent_->activateWindow();
}

}  // namespace fw::qt
