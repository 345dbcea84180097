#include "MainForm.h"

#include "Artwork.h"
#include "CompanionPlacement.h"
#include "ComposeWindow.h"
#include "DockingHost.h"
#include "FileDialog.h"
#include "LargePreview.h"
#include "MessageBoxes.h"
#include "MovieWidget.h"
#include "RecentMovies.h"
#include "VolumeControls.h"
#include "cardformat/CardLayout.h"
#include "cardformat/DefaultBlessing.h"
#include "cardformat/Platform.h"
#include "liulan.h"
#include "zhufu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QUrl>
#include <algorithm>

namespace builder {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A companion that closed itself is still inside its own event handling: it goes once that
// is over.
template <typename Window> void retireLater(std::unique_ptr<Window>& window) {
    if (window) {
        window.release()->deleteLater();
    }
}

QString pathBoxStyle(int red, int green, int blue) {
    return QStringLiteral("QLineEdit { background: rgb(%1, %2, %3); color: white; "
                          "border: 1px solid rgb(140, 180, 220); padding: 0px 2px; }")
        .arg(red)
        .arg(green)
        .arg(blue);
}

// The person's choices between runs, in the user's configuration folder.
QSettings builderSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                     QStringLiteral("Quenfold"));
}

const QString MovieFolderKey = QStringLiteral("folders/movies");
const QString CardFolderKey = QStringLiteral("folders/cards");
const QString RecentMoviesKey = QStringLiteral("recent/movies");

std::vector<std::string> storedRecentMovies() {
    std::vector<std::string> paths;
    for (const QString& path : builderSettings().value(RecentMoviesKey).toStringList()) {
        paths.push_back(path.toStdString());
    }
    return RecentMovies(paths).paths();
}

constexpr int CompanionOuterWidth = liulan::ClientWidthTwips / TwipsPerPixel + 2;
constexpr int CompanionsOuterHeight =
    (BlessingEditorDropTwips + zhufu::ClientHeightTwips) / TwipsPerPixel + 24;

} // namespace

MainForm::MainForm(DockingHost& docking, Options options)
    : DockedWindow(docking, QStringLiteral("Velmora"), QSize(MainClientWidth, MainClientHeight),
                   Kind::Main),
      options_(std::move(options)) {
    buildControls();
    // The group of three windows starts in the middle of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const int groupWidth = width() + CompanionOuterWidth;
        const int groupHeight = std::max(height(), CompanionsOuterHeight);
        move(area.left() + std::max(0, (area.width() - groupWidth) / 2),
             area.top() + std::max(0, (area.height() - groupHeight) / 2));
    }
    load();
}

MainForm::~MainForm() = default;

void MainForm::buildControls() {
    QWidget* area = client();
    area->setFont(builderFont(12));

    background_ = new QLabel(area);
    background_->setGeometry(0, 0, MainClientWidth, MainClientHeight);
    background_->setPixmap(mainBackground());

    auto whiteLabel = [area](const QString& text, const QRect& place) {
        auto* label = new QLabel(text, area);
        label->setGeometry(place);
        label->setStyleSheet(QStringLiteral("QLabel { color: white; background: transparent; }"));
        return label;
    };
    auto browseButton = [area](const QRect& place) {
        auto* button = new QPushButton(QStringLiteral("."), area);
        button->setGeometry(place);
        button->setStyleSheet(QStringLiteral(
            "QPushButton { background: rgb(192, 192, 255); border: 1px solid rgb(60, 70, 120); "
            "font-weight: bold; padding: 0px; }"
            "QPushButton:pressed { background: rgb(160, 160, 235); }"));
        return button;
    };

    sourceLabel_ = whiteLabel(QStringLiteral("源文件："), QRect(2, 10, 65, 15));
    sourceFileText_ = new QLineEdit(area);
    sourceFileText_->setGeometry(72, 8, 321, 18);
    command1_ = browseButton(QRect(400, 8, 17, 17));

    txtInfo_ = new QLabel(area);
    txtInfo_->setGeometry(16, 56, 401, 201);
    txtInfo_->setTextFormat(Qt::PlainText);
    txtInfo_->setWordWrap(true);
    txtInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtInfo_->setAutoFillBackground(true);
    txtInfo_->setMargin(4);
    QPalette infoPalette = txtInfo_->palette();
    infoPalette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    infoPalette.setColor(QPalette::WindowText, QColor(192, 192, 0));
    txtInfo_->setPalette(infoPalette);

    pathLabel_ = whiteLabel(QStringLiteral("保存路径："), QRect(16, 266, 61, 15));
    textPath_ = new QLineEdit(area);
    textPath_->setGeometry(80, 264, 313, 17);
    // The boxes are lower than a CJK font's line: centred, the line's foot (an underscore,
    // the descenders) would be cut off. At the foot, only the empty top of the line goes.
    sourceFileText_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    textPath_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    cmdBrower_ = browseButton(QRect(400, 264, 17, 17));

    for (std::size_t i = 0; i < ToolbarButtons.size(); ++i) {
        const ToolbarButton& button = ToolbarButtons[i];
        image1_[i] = new QLabel(area);
        image1_[i]->setGeometry(button.iconReleased.left, button.iconReleased.top, ToolbarIconSize,
                                ToolbarIconSize);
        image1_[i]->setPixmap(toolbarIcon(button.action));
        label3_[i] = whiteLabel(qs(button.caption), QRect());
        label3_[i]->adjustSize();
        label3_[i]->move(button.captionReleased.left, button.captionReleased.top);
        if (!button.tooltip.empty()) {
            image1_[i]->setToolTip(qs(button.tooltip));
            label3_[i]->setToolTip(qs(button.tooltip));
        }
        image1_[i]->setCursor(Qt::PointingHandCursor);
        label3_[i]->setCursor(Qt::PointingHandCursor);
        image1_[i]->installEventFilter(this);
        label3_[i]->installEventFilter(this);
    }

    connect(sourceFileText_, &QLineEdit::textChanged, sourceFileText_, &QWidget::setToolTip);
    connect(textPath_, &QLineEdit::textChanged, textPath_, &QWidget::setToolTip);
    connect(command1_, &QPushButton::clicked, this, [this] { generation_.loadMovieClicked(); });
    command1_->setToolTip(QStringLiteral("选择动画（右键：最近使用的动画）"));
    command1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(command1_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const std::unique_ptr<QMenu> menu = recentMoviesMenu();
        menu->exec(command1_->mapToGlobal(at));
    });
    connect(cmdBrower_, &QPushButton::clicked, this,
            [this] { generation_.chooseCardPathClicked(); });
}

void MainForm::load() {
    textPath_->setStyleSheet(pathBoxStyle(54, 129, 212));
    sourceFileText_->setStyleSheet(pathBoxStyle(22, 71, 104));
    docking().attach(*this, true);
    showPreview();
    showBlessingEditor();
}

void MainForm::createPreview() {
    preview_ = std::make_unique<liulan>(docking(), *this);
    connect(preview_.get(), &liulan::closed, this, [this] {
        previewMovie_ = preview_->ShockwaveFlash1().Movie();
        retireLater(preview_);
    });
    connect(preview_.get(), &liulan::enlargeRequested, this, &MainForm::showLargePreview);
    joinLevel(*preview_->volume(), preview_->ShockwaveFlash1());
    // Reopened, it plays the movie it held: the card is still made from it.
    if (!previewMovie_.empty()) {
        preview_->ShockwaveFlash1().setMovie(previewMovie_);
    }
}

void MainForm::createBlessingEditor() {
    editor_ = std::make_unique<zhufu>(docking(), *this, *this);
    // A reopened editor shows the blessing the card will carry, not the poem again.
    if (!blessing_.empty()) {
        editor_->showBlessing(blessing_);
    }
    connect(editor_.get(), &zhufu::closed, this, [this] { retireLater(editor_); });
}

void MainForm::showPreview() {
    if (!preview_) {
        createPreview();
    }
    preview_->show();
}

void MainForm::showLargePreview() {
    if (!largePreview_) {
        largePreview_ = std::make_unique<LargePreview>();
        joinLevel(*largePreview_->volume(), largePreview_->movie());
    }
    const std::string movie = preview_ ? preview_->ShockwaveFlash1().Movie() : previewMovie_;
    if (!movie.empty() && largePreview_->movie().Movie() != movie) {
        largePreview_->setMovie(movie);
    }
    largePreview_->show();
    largePreview_->raise();
}

void MainForm::joinLevel(VolumeControls& controls, mc::MovieWidget& movie) {
    movie.setVolume(previewVolume_);
    movie.setMuted(previewMuted_);
    controls.refresh();
    connect(&controls, &VolumeControls::levelChanged, this,
            [this, &movie] { levelChangedOn(movie); });
    // The movie's own menu and key change the level too.
    connect(&movie, &mc::MovieWidget::levelChanged, this, [this, &controls, &movie] {
        controls.refresh();
        levelChangedOn(movie);
    });
}

void MainForm::levelChangedOn(const cardformat::MovieControl& movie) {
    previewVolume_ = movie.volume();
    previewMuted_ = movie.muted();
    const auto follow = [this](cardformat::MovieControl& other, VolumeControls& controls) {
        other.setVolume(previewVolume_);
        other.setMuted(previewMuted_);
        controls.refresh();
    };
    if (preview_ && &preview_->ShockwaveFlash1() != &movie) {
        follow(preview_->ShockwaveFlash1(), *preview_->volume());
    }
    if (largePreview_ && &largePreview_->movie() != &movie) {
        follow(largePreview_->movie(), *largePreview_->volume());
    }
}

void MainForm::showBlessingEditor() {
    if (!editor_) {
        createBlessingEditor();
    }
    editor_->show();
}

void MainForm::ToolbarPress(std::int16_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= ToolbarButtons.size()) {
        return;
    }
    const auto i = static_cast<std::size_t>(index);
    const ToolbarPoint icon = pressed(ToolbarButtons[i].iconReleased);
    const ToolbarPoint caption = pressed(ToolbarButtons[i].captionReleased);
    // Tops first, then lefts, as the buttons have always moved.
    image1_[i]->move(image1_[i]->x(), icon.top);
    label3_[i]->move(label3_[i]->x(), caption.top);
    image1_[i]->move(icon.left, icon.top);
    label3_[i]->move(caption.left, caption.top);
}

void MainForm::ToolbarRelease(std::int16_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= ToolbarButtons.size()) {
        return;
    }
    const auto i = static_cast<std::size_t>(index);
    const ToolbarPoint icon = ToolbarButtons[i].iconReleased;
    const ToolbarPoint caption = ToolbarButtons[i].captionReleased;
    image1_[i]->move(image1_[i]->x(), icon.top);
    label3_[i]->move(label3_[i]->x(), caption.top);
    image1_[i]->move(icon.left, icon.top);
    label3_[i]->move(caption.left, caption.top);
    runAction(ToolbarButtons[i].action);
}

void MainForm::runAction(ToolbarAction action) {
    switch (action) {
    case ToolbarAction::MakeCard:
        generation_.MakeCard();
        break;
    case ToolbarAction::ShowPreview:
        showPreview();
        break;
    case ToolbarAction::ShowBlessingEditor:
        showBlessingEditor();
        break;
    case ToolbarAction::OpenHelp:
        // Whether a viewer opened it is not looked at.
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(helpPagePath())));
        break;
    case ToolbarAction::Exit:
        close();
        break;
    case ToolbarAction::ShowLargePreview:
        showLargePreview();
        break;
    case ToolbarAction::ComposeFromPhotos:
        showComposeWindow();
        break;
    }
}

void MainForm::showComposeWindow() {
    if (!composeWindow_) {
        composeWindow_ = std::make_unique<ComposeWindow>();
        connect(composeWindow_.get(), &ComposeWindow::movieMade, this,
                [this](const QString& path, const QString& words, bool drawsText) {
                    loadComposedMovie(path.toStdString(), words.toStdString(), drawsText);
                });
    }
    composeWindow_->setPasswordSet(!password_.empty());
    composeWindow_->show();
    composeWindow_->raise();
    composeWindow_->activateWindow();
}

void MainForm::loadComposedMovie(const std::string& path, const std::string& words,
                                 bool drawsText) {
    generation_.loadMovie(path);
    if (!words.empty()) {
        setBlessing(words);
    }
    if (drawsText && !password_.empty()) {
        showFailure(
            "贺卡设了查看密码，但写进影片画面里的标题和文字，任何打开这张贺卡的人都能看到。");
    }
}

std::string MainForm::helpPagePath() {
    return cardformat::fileBeside(cardformat::ownFolder(), "Velmora.htm");
}

int MainForm::imageIndex(const QObject* watched) const {
    const auto it = std::find(image1_.begin(), image1_.end(), watched);
    return it == image1_.end() ? -1 : static_cast<int>(it - image1_.begin());
}

int MainForm::captionIndex(const QObject* watched) const {
    const auto it = std::find(label3_.begin(), label3_.end(), watched);
    return it == label3_.end() ? -1 : static_cast<int>(it - label3_.begin());
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // A quick second click arrives as a double click; it is a press all the same.
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    const bool release = type == QEvent::MouseButtonRelease;
    if (!press && !release) {
        return DockedWindow::eventFilter(watched, event);
    }
    // Any button counts. Taking the press keeps the release on the same control.
    if (const int icon = imageIndex(watched); icon >= 0) {
        if (press) {
            ToolbarPress(static_cast<std::int16_t>(icon));
        } else {
            ToolbarRelease(static_cast<std::int16_t>(icon));
        }
        return true;
    }
    if (const int caption = captionIndex(watched); caption >= 0) {
        if (release) {
            ToolbarRelease(static_cast<std::int16_t>(caption));
        }
        return true;
    }
    return DockedWindow::eventFilter(watched, event);
}

void MainForm::closeEvent(QCloseEvent* event) {
    // The preview goes first, then the blessing editor; nothing is asked or saved.
    preview_.reset();
    editor_.reset();
    largePreview_.reset();
    composeWindow_.reset();
    event->accept();
}

std::string MainForm::sourcePath() const {
    return sourceFileText_->text().toStdString();
}

void MainForm::setSourcePath(const std::string& path) {
    sourceFileText_->setText(QString::fromStdString(path));
}

std::string MainForm::outputPath() const {
    return textPath_->text().toStdString();
}

void MainForm::setOutputPath(const std::string& path) {
    textPath_->setText(QString::fromStdString(path));
}

void MainForm::showInInfo(const std::string& text) {
    blessing_ = text;
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtInfo_->setText(shown);
}

void MainForm::setBlessing(const std::string& text) {
    showInInfo(text);
    blessingTyped_ = false;
    if (editor_) {
        editor_->showBlessing(text);
    }
}

void MainForm::blessingEdited(const std::string& text) {
    showInInfo(text);
    blessingTyped_ = text != cardformat::defaultBlessingText();
}

bool MainForm::keepTypedBlessing(const std::string& noteBlessing) {
    return askKeepTypedBlessing(this, noteBlessing);
}

void MainForm::setBlessingColour(const QColor& colour) {
    QPalette palette = txtInfo_->palette();
    palette.setColor(QPalette::WindowText, colour);
    txtInfo_->setPalette(palette);
}

QColor MainForm::blessingColour() const {
    return txtInfo_->palette().color(QPalette::WindowText);
}

cardformat::MovieControl& MainForm::previewControl() {
    // Loading a movie into a closed preview creates it without showing it.
    if (!preview_) {
        createPreview();
    }
    return preview_->ShockwaveFlash1();
}

std::string MainForm::showOpenDialog(const FileDialogRequest& request) {
    return ShowOpenDialog(this, request.description, request.pattern, request.title,
                          request.initialFolder, request.initialFileName);
}

std::string MainForm::showSaveDialog(const FileDialogRequest& request) {
    return ShowSaveDialog(this, request.description, request.pattern, request.title,
                          request.defaultExtension, request.initialFileName);
}

cardformat::CardOutcome MainForm::writeCard(const std::string& moviePath,
                                            const std::string& cardPath,
                                            cardformat::CardNote& note) {
    const auto ask = [this](std::string_view title, std::string_view text) {
        return askReadOnlyQuestion(this, title, text);
    };
    return cardformat::makeCard(moviePath, cardPath, note,
                                std::string(cardformat::TemplateFileName), ask,
                                options_.templateFolder);
}

void MainForm::showSuccess(const std::string& text) {
    showSuccessMessage(this, text);
}

void MainForm::showFailure(const std::string& text) {
    showFailureMessage(this, text);
}

std::string MainForm::movieFolder() const {
    return builderSettings().value(MovieFolderKey).toString().toStdString();
}

std::string MainForm::cardFolder() const {
    return builderSettings().value(CardFolderKey).toString().toStdString();
}

void MainForm::movieLoaded(const std::string& path) {
    RecentMovies recent(storedRecentMovies());
    recent.add(path);
    QStringList stored;
    for (const std::string& movie : recent.paths()) {
        stored << QString::fromStdString(movie);
    }
    QSettings settings = builderSettings();
    settings.setValue(RecentMoviesKey, stored);
    settings.setValue(MovieFolderKey, QString::fromStdString(cardformat::nativeFolderOf(path)));
}

void MainForm::cardPathUsed(const std::string& path) {
    builderSettings().setValue(CardFolderKey,
                               QString::fromStdString(cardformat::nativeFolderOf(path)));
}

std::vector<std::string> MainForm::recentMovies() const {
    std::vector<std::string> present;
    for (const std::string& path : storedRecentMovies()) {
        if (cardformat::fileExists(path)) {
            present.push_back(path);
        }
    }
    return present;
}

std::unique_ptr<QMenu> MainForm::recentMoviesMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->setTitle(QStringLiteral("最近使用的动画"));
    const std::vector<std::string> movies = recentMovies();
    if (movies.empty()) {
        menu->addAction(QStringLiteral("（还没有用过的动画）"))->setEnabled(false);
    }
    for (const std::string& path : movies) {
        connect(menu->addAction(QString::fromStdString(path)), &QAction::triggered, this,
                [this, path] { generation_.loadMovie(path); });
    }
    return menu;
}

bool MainForm::askOverwrite(const std::string& question) {
    return askOverwriteQuestion(this, question);
}

} // namespace builder
