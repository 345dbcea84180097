#pragma once

#include "ComposeChoices.h"
#include "ComposePhotos.h"

#include "composer/Composition.h"

#include <QDialog>
#include <QImage>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace builder {

class ComposeJob;
class ComposeListening;
class ComposePhotoView;
class StylePreviewJob;
class ThumbnailJob;

// "用照片制作…": the person's photos, song and words become a movie. The window only shows
// and collects; the choices, the order of the photos and the work are the plain classes'.
class ComposeWindow : public QDialog {
    Q_OBJECT

  public:
    explicit ComposeWindow(QWidget* parent = nullptr);
    ~ComposeWindow() override;

    // What a file dialog or a drop would hand in.
    void addPhotos(const std::vector<std::filesystem::path>& files);
    void movePhoto(int from, int to);
    void removePhoto(int index);
    void turnPhoto(int index, int quarterTurns);
    void cropPhoto(int index, double left, double top, double width, double height);
    void setMusic(const std::filesystem::path& song);
    // Everything at once: a reopened composition, keeping what the window does not show.
    void showComposition(const composer::Composition& composition);
    ComposeChoices choices() const;
    const ComposePhotoList& photos() const { return photos_; }

    // False, after telling the person why, when the file cannot be written or read.
    bool saveCompositionTo(const std::filesystem::path& file);
    bool openCompositionFrom(const std::filesystem::path& file);
    // Starts making the movie at `movie` (".swf" added when missing); the window stays usable.
    void generateTo(const std::filesystem::path& movie);
    bool generating() const { return job_ != nullptr; }
    void cancelGeneration();

    // Whether the card has a viewing password: the window then says who sees the words.
    void setPasswordSet(bool set);

    ComposePhotoView* photoView() const { return photoView_; }
    QComboBox* styleBox() const { return styleBox_; }
    QComboBox* sizeBox() const { return sizeBox_; }
    QComboBox* endingBox() const { return endingBox_; }
    QSpinBox* fpsBox() const { return fpsBox_; }
    QLineEdit* titleEdit() const { return titleEdit_; }
    QPlainTextEdit* wordsEdit() const { return wordsEdit_; }
    QPushButton* generateButton() const { return generateButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QPushButton* listenButton() const { return listenButton_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* stylePreview() const { return preview_; }
    QLabel* statusLabel() const { return status_; }
    QLabel* passwordNote() const { return passwordNote_; }
    // Whether every photo's thumbnail has been read (or found unreadable).
    bool thumbnailsReady() const { return thumbnailJob_ == nullptr; }
    // How many frames of the style's preview are shown in turn (0 until one is ready).
    int previewFrames() const { return static_cast<int>(previewFrames_.size()); }

  signals:
    // The movie is written: the builder loads it as one the person opened. `drawsText`: a
    // title or words are drawn into it.
    void movieMade(const QString& path, const QString& words, bool drawsText);

  public slots:
    // Esc: put away like closing, which stops the work.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void build();
    void choosePhotos();
    void chooseMusic();
    void toggleListening();
    void chooseAndGenerate();
    void chooseAndSave();
    void chooseAndOpen();
    void cropCurrent();
    void showPhotos();
    void refreshIcons();
    void requestThumbnails();
    void photosChanged();
    void previewLater();
    void startPreview();
    void poll();
    void finishGeneration();
    void showFailure(const QString& text);
    void setWorking(bool working);
    int current() const;

    ComposePhotoList photos_;
    composer::Composition base_; // a reopened composition's choices the window does not show
    std::filesystem::path music_;
    std::map<std::string, QImage> thumbnails_; // by file and edit, so a move keeps them
    std::map<std::string, std::string> unreadable_;
    std::vector<QImage> previewFrames_;
    int previewShown_ = 0;

    ComposePhotoView* photoView_ = nullptr;
    QLineEdit* musicEdit_ = nullptr;
    QPushButton* listenButton_ = nullptr;
    QComboBox* styleBox_ = nullptr;
    QLabel* preview_ = nullptr;
    QLineEdit* titleEdit_ = nullptr;
    QPlainTextEdit* wordsEdit_ = nullptr;
    QLabel* passwordNote_ = nullptr;
    QComboBox* sizeBox_ = nullptr;
    QSpinBox* fpsBox_ = nullptr;
    QComboBox* endingBox_ = nullptr;
    QPushButton* generateButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QWidget* inputs_ = nullptr;
    QTimer* pollTimer_ = nullptr;
    QTimer* previewDelay_ = nullptr;
    QTimer* previewTurn_ = nullptr;

    // Work off the window's thread; a job replaced before it ended waits in `retiring_` until
    // it has, so that the window never waits for one.
    std::unique_ptr<ComposeJob> job_;
    std::unique_ptr<StylePreviewJob> previewJob_;
    std::unique_ptr<ThumbnailJob> thumbnailJob_;
    std::unique_ptr<ComposeListening> listening_;
    std::vector<std::unique_ptr<StylePreviewJob>> retiringPreviews_;
    std::vector<std::unique_ptr<ThumbnailJob>> retiringThumbnails_;
};

} // namespace builder
