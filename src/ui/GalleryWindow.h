#pragma once

#include "ui/GalleryTarget.h"

#include <QCoroTask>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <chrono>
#include <functional>

class BusyIndicator;
class GalleryActivity;
class GalleryGrid;
class LanguageGallery;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMessageBox;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class SegmentedControl;
class ShotImageLoader;
class ShotViewer;

// A window that takes the chosen app's screenshot in each of its languages on one simulator:
// the run's choices on the left, the tiles filling in on the right as the languages are taken,
// and a large view that steps through them, alone or beside the development language. Closing
// it stops the run; the device is put back in the background.
class GalleryWindow : public QWidget {
    Q_OBJECT

public:
    // Asks for the folder to export into; empty when the user cancels.
    using FolderChooser = std::function<QString(QWidget *parent)>;

    GalleryWindow(Launcher *launcher, GalleryTarget target, QWidget *parent = nullptr);
    ~GalleryWindow() override;

    const GalleryTarget &target() const { return m_target; }
    LanguageGallery *gallery() const { return m_gallery; }
    GalleryGrid *grid() const { return m_grid; }
    ShotViewer *viewer() const { return m_viewer; }

    // The languages ticked, in the list's order.
    QStringList chosenLanguages() const;
    // The run the controls describe.
    GallerySettings settings() const;
    // How long a screen must stay still, how long to wait at most, how often to capture.
    void setSettleTimes(std::chrono::milliseconds period, std::chrono::milliseconds timeout,
                        std::chrono::milliseconds interval);

    // The language the side-by-side view compares with.
    QString developmentLanguage() const { return m_development; }

    void start();
    void stop();

    // The large view of one tile; -1 while the grid is shown.
    int openRow() const { return m_openRow; }
    void openTile(int row);
    void showGrid();
    // Moves the large view by `delta` languages, stopping at the first and the last.
    void step(int delta);
    bool sideBySide() const { return m_sideBySide; }
    void setSideBySide(bool on);

    // Puts the open (or selected) language's full-size screenshot on the clipboard.
    void copyImage();
    // Asks for a folder, then exports into it.
    void exportGallery();
    // Exports into `folder`, after asking to replace when the folder is not empty.
    void exportTo(const QString &folder);
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    // The question shown before replacing the contents of a folder, while it is open.
    QMessageBox *replaceQuestion() const;

Q_SIGNALS:
    // An export has been written (or failed, with the message shown to the user).
    void exported(const QString &folder);
    void exportFailed(const QString &message);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QWidget *buildHeader();
    QWidget *buildChoices();
    QWidget *buildViewerPage();
    QWidget *buildFooter();
    void bindGallery();

    void readDevelopmentLanguage();
    void newRun();
    void languageTicked();
    void updateControls();
    void updateProgress();
    void shotFinished(int index);
    void runFinished();
    void showOpenTile();
    void loadLarge(int row);
    int currentRow() const;
    void showMessage(const QString &text);
    void showError(const QString &text);
    QCoro::Task<> write(QString folder, bool replace);

    Launcher *m_launcher;
    GalleryTarget m_target;
    QPointer<GalleryActivity> m_activity; // goes with the launcher
    LanguageGallery *m_gallery;
    ShotImageLoader *m_largeLoader;
    QString m_development;
    std::chrono::milliseconds m_settlePeriod{1000};
    std::chrono::milliseconds m_timeout{15000};
    std::chrono::milliseconds m_interval{400};
    FolderChooser m_chooseFolder;
    QString m_lastFolder;
    int m_openRow = -1;
    bool m_sideBySide = false;
    bool m_exporting = false;
    bool m_styling = false;
    QString m_message;          // shown instead of the run's status until the status changes
    quint64 m_run = 0;          // images read for another run are dropped
    QHash<int, QImage> m_large; // large images of the open tile and its neighbours, by row
    QSet<int> m_reading;        // rows whose large image is being read

    BusyIndicator *m_busy = nullptr;
    QListWidget *m_languages = nullptr;
    QLabel *m_languageCount = nullptr;
    QList<QPushButton *> m_links; // "All" and "None", styled as links
    QRadioButton *m_likelyRegion = nullptr;
    QRadioButton *m_oneRegion = nullptr;
    QLineEdit *m_region = nullptr;
    QLineEdit *m_deepLink = nullptr;
    QCheckBox *m_cleanStatusBar = nullptr;
    SegmentedControl *m_appearance = nullptr;
    QWidget *m_choices = nullptr;
    QStackedWidget *m_pages = nullptr;
    GalleryGrid *m_grid = nullptr;
    ShotViewer *m_viewer = nullptr;
    QLabel *m_viewerTitle = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
    SegmentedControl *m_compare = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_progressLine = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_start = nullptr;
    QPointer<QMessageBox> m_replaceQuestion;
};
