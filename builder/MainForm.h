#pragma once

#include "BlessingTarget.h"
#include "CardGeneration.h"
#include "DockedWindow.h"
#include "GenerationHost.h"
#include "ToolbarLayout.h"

#include <QColor>
#include <array>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QLineEdit;
class QPushButton;

namespace mc {
class MovieWidget;
}

namespace builder {

class ComposeWindow;
class LargePreview;
class liulan;
class VolumeControls;
class zhufu;

// The builder's start-up window: the card's paths and blessing, and the picture toolbar.
// Creating it opens the preview window and the blessing editor; closing it closes them.
class MainForm : public DockedWindow, public GenerationHost, public BlessingTarget {
    Q_OBJECT

  public:
    struct Options {
        // Where Velmora.vmd is read from; the program's own folder when empty.
        std::string templateFolder;
    };

    explicit MainForm(DockingHost& docking, Options options = {});
    ~MainForm() override;

    void ToolbarPress(std::int16_t index);
    void ToolbarRelease(std::int16_t index);

    // The companions while they exist, else null.
    liulan* preview() const { return preview_.get(); }
    zhufu* blessingEditor() const { return editor_.get(); }
    void showPreview();
    // The larger, resizable preview of the loaded movie; made on first use.
    void showLargePreview();
    LargePreview* largePreview() const { return largePreview_.get(); }
    void showBlessingEditor();
    // "用照片制作…": the window that makes a movie from photos; made on first use.
    void showComposeWindow();
    ComposeWindow* composeWindow() const { return composeWindow_.get(); }
    // A movie the photo window wrote: loaded as one the person opened, its words the blessing.
    // With a password set, text drawn into it is pointed out: the password does not hide it.
    void loadComposedMovie(const std::string& path, const std::string& words, bool drawsText);

    QLineEdit* SoureFileText() const { return sourceFileText_; }
    QLineEdit* TextPath() const { return textPath_; }
    QPushButton* Command1() const { return command1_; }
    QPushButton* CmdBrower() const { return cmdBrower_; }
    QLabel* txtInfo() const { return txtInfo_; }
    QLabel* Image1(std::size_t index) const { return image1_.at(index); }
    QLabel* Label3(std::size_t index) const { return label3_.at(index); }
    CardGeneration& generation() { return generation_; }

    // GenerationHost
    std::string sourcePath() const override;
    void setSourcePath(const std::string& path) override;
    std::string outputPath() const override;
    void setOutputPath(const std::string& path) override;
    std::string blessing() const override { return blessing_; }
    void setBlessing(const std::string& text) override;
    bool blessingTyped() const override { return blessingTyped_; }
    bool keepTypedBlessing(const std::string& noteBlessing) override;
    std::string password() const override { return password_; }
    cardformat::MovieControl& previewControl() override;
    std::string showOpenDialog(const FileDialogRequest& request) override;
    std::string showSaveDialog(const FileDialogRequest& request) override;
    cardformat::CardOutcome writeCard(const std::string& moviePath, const std::string& cardPath,
                                      cardformat::CardNote& note) override;
    void showSuccess(const std::string& text) override;
    void showFailure(const std::string& text) override;
    bool askOverwrite(const std::string& question) override;
    std::string movieFolder() const override;
    std::string cardFolder() const override;
    void movieLoaded(const std::string& path) override;
    void cardPathUsed(const std::string& path) override;

    // The movies loaded last, newest first, as the open button's menu offers them (those
    // still there).
    std::vector<std::string> recentMovies() const;
    // The open button's right-click menu; the caller shows it.
    std::unique_ptr<QMenu> recentMoviesMenu();

    // BlessingTarget
    void blessingEdited(const std::string& text) override;
    void setPassword(const std::string& text) override { password_ = text; }
    void setAuthor(const std::string& text) override { author_ = text; }
    void setTitle(const std::string& text) override { title_ = text; }
    std::string author() const override { return author_; }
    std::string title() const override { return title_; }
    void setBlessingColour(const QColor& colour) override;
    QColor blessingColour() const;

    static std::string helpPagePath();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void load();
    void createPreview();
    void createBlessingEditor();
    // The two previews play at one level: the process has one sound device. A preview made
    // later starts at it, and a change on either reaches the other.
    void joinLevel(VolumeControls& controls, mc::MovieWidget& movie);
    void levelChangedOn(const cardformat::MovieControl& movie);
    void runAction(ToolbarAction action);
    int imageIndex(const QObject* watched) const;
    int captionIndex(const QObject* watched) const;

    Options options_;
    CardGeneration generation_{*this};
    void showInInfo(const std::string& text);

    std::string blessing_; // the caption of txtInfo
    bool blessingTyped_ = false;
    std::string password_; // the tag of txtInfo
    std::string author_;
    std::string title_;
    QLabel* background_ = nullptr;
    QLabel* sourceLabel_ = nullptr;
    QLineEdit* sourceFileText_ = nullptr;
    QPushButton* command1_ = nullptr;
    QLabel* txtInfo_ = nullptr;
    QLabel* pathLabel_ = nullptr;
    QLineEdit* textPath_ = nullptr;
    QPushButton* cmdBrower_ = nullptr;
    std::array<QLabel*, ToolbarButtons.size()> image1_{};
    std::array<QLabel*, ToolbarButtons.size()> label3_{};
    std::unique_ptr<liulan> preview_;
    std::string previewMovie_; // what a closed preview held
    std::unique_ptr<LargePreview> largePreview_;
    int previewVolume_ = 100;
    bool previewMuted_ = false;
    std::unique_ptr<zhufu> editor_;
    std::unique_ptr<ComposeWindow> composeWindow_;
};

} // namespace builder
