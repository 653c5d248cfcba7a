#include "ui/MacAppChooser.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

class AppBundleDialog : public QFileDialog {
public:
    AppBundleDialog(QWidget *parent, const QString &startFolder)
        : QFileDialog(parent, tr("Choose App"), startFolder) {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly);
        setOption(QFileDialog::DontUseNativeDialog); // the native panel treats bundles as files
        setLabelText(QFileDialog::Accept, tr("Choose"));
        setNameFilter(tr("Applications (*.app)"));
    }

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (chosen.isEmpty())
            return;
        const QFileInfo info(chosen.first());
        if (info.isDir() && info.fileName().endsWith(QStringLiteral(".app"))) {
            QFileDialog::accept();
            return;
        }
        if (info.isDir())
            setDirectory(info.absoluteFilePath()); // an ordinary folder: look inside
    }
};

} // namespace

MacAppChooser fileDialogMacAppChooser() {
    return [](const QString &startFolder) -> std::optional<QString> {
        // Where there is no such folder (any system but macOS), start at home instead.
        const QString folder = QFileInfo(startFolder).isDir() ? startFolder : QDir::homePath();
        AppBundleDialog dialog(QApplication::activeWindow(), folder);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first();
    };
}
