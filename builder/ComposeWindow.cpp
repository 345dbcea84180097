#include "ComposeWindow.h"

#include "ComposeCropDialog.h"
#include "ComposeJob.h"
#include "ComposeListening.h"
#include "ComposePhotoView.h"
#include "composer/ComposeError.h"
#include "composer/CompositionFile.h"
#include "composer/PhotoDecoding.h"
#include "composer/Styles.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <iterator>

namespace builder {

namespace {

constexpr QSize kThumbnail(96, 72);
constexpr int kPollMs = 50;
constexpr int kPreviewDelayMs = 400; // the preview waits until the person stops changing things
constexpr int kPreviewFrameMs = 700;
constexpr int kPreviewFrameCount = 6;

QString qs(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString qs(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(s.data()),
                             static_cast<qsizetype>(s.size()));
}

std::filesystem::path pathOf(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string thumbnailKey(const ComposePhoto& photo) {
    const composer::PhotoEdit& e = photo.edit;
    const std::u8string file = photo.file.u8string();
    return std::string(file.begin(), file.end()) + '|' + std::to_string(e.quarterTurns) + '|' +
           std::to_string(e.cropLeft) + ',' + std::to_string(e.cropTop) + ',' +
           std::to_string(e.cropWidth) + ',' + std::to_string(e.cropHeight);
}

const QString kPhotoFilter =
    QStringLiteral("照片 (*.jpg *.jpeg *.png *.webp *.gif *.bmp *.heic *.heif *.avif "
                   "*.JPG *.JPEG *.PNG *.HEIC)");
const QString kMusicFilter =
    QStringLiteral("音乐 (*.mp3 *.m4a *.aac *.wav *.flac *.ogg *.wma *.MP3);;所有文件 (*)");
const QString kMovieFilter = QStringLiteral("Flash Movie (*.swf)");
const QString kCompositionFilter = QStringLiteral("影片制作方案 (*.vmcompose *.json)");

} // namespace

ComposeWindow::ComposeWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("用照片制作影片"));
    build();
    pollTimer_ = new QTimer(this);
    pollTimer_->setInterval(kPollMs);
    connect(pollTimer_, &QTimer::timeout, this, &ComposeWindow::poll);
    previewDelay_ = new QTimer(this);
    previewDelay_->setSingleShot(true);
    previewDelay_->setInterval(kPreviewDelayMs);
    connect(previewDelay_, &QTimer::timeout, this, &ComposeWindow::startPreview);
    previewTurn_ = new QTimer(this);
    previewTurn_->setInterval(kPreviewFrameMs);
    connect(previewTurn_, &QTimer::timeout, this, [this] {
        if (!previewFrames_.empty()) {
            previewShown_ = (previewShown_ + 1) % static_cast<int>(previewFrames_.size());
            preview_->setPixmap(
                QPixmap::fromImage(previewFrames_[static_cast<std::size_t>(previewShown_)]));
        }
    });
    showPhotos();
}

ComposeWindow::~ComposeWindow() = default;

void ComposeWindow::build() {
    auto* layout = new QVBoxLayout(this);
    inputs_ = new QWidget(this);
    auto* grid = new QGridLayout(inputs_);
    grid->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(inputs_);

    // Photos: the list, and what can be done to them.
    photoView_ = new ComposePhotoView(inputs_);
    photoView_->setMinimumSize(500, 230);
    grid->addWidget(
        new QLabel(QStringLiteral("照片（拖动可以调整顺序，也可以把照片拖进来）："), inputs_), 0, 0,
        1, 2);
    grid->addWidget(photoView_, 1, 0, 1, 2);
    auto* photoButtons = new QHBoxLayout;
    const auto button = [this](const QString& text, auto slot) {
        auto* b = new QPushButton(text, inputs_);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    photoButtons->addWidget(button(QStringLiteral("添加照片…"), [this] { choosePhotos(); }));
    photoButtons->addWidget(button(QStringLiteral("去掉"), [this] { removePhoto(current()); }));
    photoButtons->addWidget(button(QStringLiteral("向左转"), [this] { turnPhoto(current(), -1); }));
    photoButtons->addWidget(button(QStringLiteral("向右转"), [this] { turnPhoto(current(), 1); }));
    photoButtons->addWidget(button(QStringLiteral("裁剪…"), [this] { cropCurrent(); }));
    photoButtons->addStretch();
    grid->addLayout(photoButtons, 2, 0, 1, 2);
    connect(photoView_, &ComposePhotoView::photoMoved, this, &ComposeWindow::movePhoto);
    connect(photoView_, &ComposePhotoView::filesDropped, this, &ComposeWindow::addPhotos);

    // The song, the style and its preview, the words, the choices.
    auto* form = new QFormLayout;
    auto* musicRow = new QHBoxLayout;
    musicEdit_ = new QLineEdit(inputs_);
    musicEdit_->setReadOnly(true);
    musicEdit_->setPlaceholderText(QStringLiteral("（不用音乐）"));
    musicRow->addWidget(musicEdit_, 1);
    musicRow->addWidget(button(QStringLiteral("选择音乐…"), [this] { chooseMusic(); }));
    listenButton_ = button(QStringLiteral("试听"), [this] { toggleListening(); });
    musicRow->addWidget(listenButton_);
    musicRow->addWidget(button(QStringLiteral("不用音乐"), [this] { setMusic({}); }));
    form->addRow(QStringLiteral("音乐："), musicRow);

    styleBox_ = new QComboBox(inputs_);
    for (const composer::Style& style : composer::allStyles()) {
        styleBox_->addItem(qs(std::string(style.name)) + QStringLiteral(" — ") +
                               qs(std::string(style.description)),
                           qs(std::string(style.name)));
    }
    styleBox_->setCurrentIndex(std::max(0, styleBox_->findData(qs(composer::Composition{}.style))));
    form->addRow(QStringLiteral("风格："), styleBox_);
    titleEdit_ = new QLineEdit(inputs_);
    form->addRow(QStringLiteral("标题："), titleEdit_);
    wordsEdit_ = new QPlainTextEdit(inputs_);
    wordsEdit_->setPlaceholderText(QStringLiteral("想说的话，会写进影片的结尾，也会填进祝福里。"));
    wordsEdit_->setFixedHeight(80);
    form->addRow(QStringLiteral("文字："), wordsEdit_);
    passwordNote_ = new QLabel(
        QStringLiteral(
            "贺卡设了查看密码，但写进影片画面里的标题和文字，任何打开这张贺卡的人都能看到。"),
        inputs_);
    passwordNote_->setWordWrap(true);
    passwordNote_->setStyleSheet(QStringLiteral("QLabel { color: rgb(170, 60, 0); }"));
    passwordNote_->hide();
    form->addRow(QString(), passwordNote_);

    sizeBox_ = new QComboBox(inputs_);
    sizeBox_->addItem(QStringLiteral("4:3（800×600）"));
    sizeBox_->addItem(QStringLiteral("16:9（960×540）"));
    sizeBox_->addItem(QStringLiteral("竖屏（540×960）"));
    static_assert(std::size(composer::kSizePresets) == 3, "one entry a preset");
    fpsBox_ = new QSpinBox(inputs_);
    fpsBox_->setRange(1, 60);
    fpsBox_->setValue(24);
    fpsBox_->setSuffix(QStringLiteral(" 帧/秒"));
    fpsBox_->setMinimumWidth(90);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(sizeBox_, 1);
    sizeRow->addWidget(new QLabel(QStringLiteral("帧率："), inputs_));
    sizeRow->addWidget(fpsBox_);
    form->addRow(QStringLiteral("大小："), sizeRow);
    endingBox_ = new QComboBox(inputs_);
    endingBox_->addItem(QStringLiteral("放完停在最后，显示重播按钮"));
    endingBox_->addItem(QStringLiteral("放完从头再放"));
    form->addRow(QStringLiteral("结尾："), endingBox_);
    grid->addLayout(form, 3, 0);

    preview_ = new QLabel(inputs_);
    preview_->setFixedSize(kPreviewLongSide + 8, kPreviewLongSide + 8);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::StyledPanel);
    preview_->setText(QStringLiteral("添加照片后，这里显示风格的样子"));
    preview_->setWordWrap(true);
    grid->addWidget(preview_, 3, 1, Qt::AlignTop);

    // The bottom row: the composition file, the work and its progress.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(button(QStringLiteral("打开方案…"), [this] { chooseAndOpen(); }));
    bottom->addWidget(button(QStringLiteral("保存方案…"), [this] { chooseAndSave(); }));
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->hide();
    bottom->addWidget(progress_, 1);
    bottom->addStretch();
    generateButton_ = new QPushButton(QStringLiteral("生成影片"), this);
    generateButton_->setDefault(true);
    connect(generateButton_, &QPushButton::clicked, this, &ComposeWindow::chooseAndGenerate);
    cancelButton_ = new QPushButton(QStringLiteral("取消"), this);
    cancelButton_->hide();
    connect(cancelButton_, &QPushButton::clicked, this, &ComposeWindow::cancelGeneration);
    bottom->addWidget(generateButton_);
    bottom->addWidget(cancelButton_);
    layout->addLayout(bottom);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    layout->addWidget(status_);

    connect(styleBox_, &QComboBox::currentIndexChanged, this, &ComposeWindow::previewLater);
    connect(sizeBox_, &QComboBox::currentIndexChanged, this, &ComposeWindow::previewLater);
    connect(titleEdit_, &QLineEdit::textChanged, this, &ComposeWindow::previewLater);
    // The words show in the preview's last frames.
    connect(wordsEdit_, &QPlainTextEdit::textChanged, this, &ComposeWindow::previewLater);
}

int ComposeWindow::current() const {
    return photoView_->currentRow();
}

void ComposeWindow::addPhotos(const std::vector<std::filesystem::path>& files) {
    std::vector<std::filesystem::path> photos;
    QStringList skipped;
    for (const std::filesystem::path& file : files) {
        if (looksLikePhotoFile(file)) {
            photos.push_back(file);
        } else {
            skipped << qs(file.filename());
        }
    }
    const ComposePhotoList::Added added = photos_.add(photos);
    photosChanged();
    if (!added.overLimit.empty()) {
        showFailure(QStringLiteral("一部影片最多放 %1 张照片，后面的 %2 "
                                   "张没有加进来。请去掉一些照片，或分成几张贺卡。")
                        .arg(composer::kMaxPhotos)
                        .arg(added.overLimit.size()));
    }
    if (!skipped.isEmpty()) {
        status_->setText(QStringLiteral("这些文件不是照片，没有加进来：") +
                         skipped.join(QStringLiteral("、")));
    }
}

void ComposeWindow::movePhoto(int from, int to) {
    if (from >= 0 && to >= 0 &&
        photos_.move(static_cast<std::size_t>(from), static_cast<std::size_t>(to))) {
        photosChanged();
        photoView_->setCurrentRow(to);
    }
}

void ComposeWindow::removePhoto(int index) {
    if (index >= 0 && photos_.remove(static_cast<std::size_t>(index))) {
        photosChanged();
        photoView_->setCurrentRow(std::min(index, static_cast<int>(photos_.size()) - 1));
    }
}

void ComposeWindow::turnPhoto(int index, int quarterTurns) {
    if (index >= 0 && photos_.turn(static_cast<std::size_t>(index), quarterTurns)) {
        photosChanged();
        photoView_->setCurrentRow(index);
    }
}

void ComposeWindow::cropPhoto(int index, double left, double top, double width, double height) {
    if (index >= 0 && photos_.setCrop(static_cast<std::size_t>(index), left, top, width, height)) {
        photosChanged();
        photoView_->setCurrentRow(index);
    }
}

void ComposeWindow::cropCurrent() {
    const int index = current();
    if (index < 0) {
        return;
    }
    const ComposePhoto photo = photos_.photos()[static_cast<std::size_t>(index)];
    composer::PhotoEdit turnedOnly;
    turnedOnly.quarterTurns = photo.edit.quarterTurns;
    QImage turned;
    try {
        turned = composer::decodePhoto(photo.file, turnedOnly, QSize(480, 480),
                                       composer::PhotoFit::Fit, 1.0);
    } catch (const composer::ComposeError& error) {
        showFailure(qs(std::string(error.what())));
        return;
    }
    ComposeCropDialog dialog(turned, photo.edit, this);
    if (dialog.exec() == QDialog::Accepted) {
        const QRectF kept = dialog.crop();
        cropPhoto(index, kept.left(), kept.top(), kept.width(), kept.height());
    }
}

void ComposeWindow::photosChanged() {
    showPhotos();
    requestThumbnails();
    previewLater();
}

void ComposeWindow::showPhotos() {
    const int selected = current();
    photoView_->clear();
    for (const ComposePhoto& photo : photos_.photos()) {
        auto* item = new QListWidgetItem(qs(photo.file.filename()), photoView_);
        item->setToolTip(qs(photo.file));
    }
    refreshIcons();
    if (selected >= 0 && selected < photoView_->count()) {
        photoView_->setCurrentRow(selected);
    }
}

void ComposeWindow::refreshIcons() {
    const std::vector<ComposePhoto>& photos = photos_.photos();
    for (int row = 0; row < photoView_->count() && row < static_cast<int>(photos.size()); ++row) {
        QListWidgetItem* item = photoView_->item(row);
        const std::string key = thumbnailKey(photos[static_cast<std::size_t>(row)]);
        if (const auto found = thumbnails_.find(key); found != thumbnails_.end()) {
            item->setIcon(QIcon(QPixmap::fromImage(found->second)));
        } else if (const auto bad = unreadable_.find(key); bad != unreadable_.end()) {
            item->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
            item->setToolTip(qs(bad->second));
        }
    }
}

void ComposeWindow::requestThumbnails() {
    std::vector<std::pair<std::string, ComposePhoto>> missing;
    for (const ComposePhoto& photo : photos_.photos()) {
        const std::string key = thumbnailKey(photo);
        if (!thumbnails_.contains(key) && !unreadable_.contains(key)) {
            missing.emplace_back(key, photo);
        }
    }
    if (thumbnailJob_) {
        thumbnailJob_->cancel();
        retiringThumbnails_.push_back(std::move(thumbnailJob_));
    }
    if (!missing.empty()) {
        thumbnailJob_ = std::make_unique<ThumbnailJob>(std::move(missing), kThumbnail);
        pollTimer_->start();
    }
}

void ComposeWindow::setMusic(const std::filesystem::path& song) {
    listening_.reset();
    listenButton_->setText(QStringLiteral("试听"));
    music_ = song;
    musicEdit_->setText(qs(song));
    musicEdit_->setToolTip(qs(song));
}

void ComposeWindow::showComposition(const composer::Composition& composition) {
    base_ = composition;
    const ComposeChoices choices = choicesFrom(composition);
    photos_.replace(choices.photos);
    setMusic(choices.music);
    const int style = styleBox_->findData(qs(choices.style));
    styleBox_->setCurrentIndex(std::max(0, style));
    titleEdit_->setText(qs(choices.title));
    wordsEdit_->setPlainText(qs(choices.words));
    // A size no preset has stays as the composition's own, offered as the last entry.
    while (sizeBox_->count() > static_cast<int>(std::size(composer::kSizePresets))) {
        sizeBox_->removeItem(sizeBox_->count() - 1);
    }
    if (choices.sizePreset) {
        sizeBox_->setCurrentIndex(static_cast<int>(*choices.sizePreset));
    } else {
        sizeBox_->addItem(QStringLiteral("%1×%2").arg(composition.width).arg(composition.height));
        sizeBox_->setCurrentIndex(sizeBox_->count() - 1);
    }
    fpsBox_->setValue(choices.fps);
    endingBox_->setCurrentIndex(choices.loop ? 1 : 0);
    photosChanged();
}

ComposeChoices ComposeWindow::choices() const {
    ComposeChoices c;
    c.photos = photos_.photos();
    c.music = music_;
    c.style = styleBox_->currentData().toString().toStdString();
    c.title = titleEdit_->text().toStdString();
    c.words = wordsEdit_->toPlainText().toStdString();
    const int size = sizeBox_->currentIndex();
    if (size >= 0 && size < static_cast<int>(std::size(composer::kSizePresets))) {
        c.sizePreset = static_cast<std::size_t>(size);
    } else {
        c.sizePreset.reset();
    }
    c.fps = fpsBox_->value();
    c.loop = endingBox_->currentIndex() == 1;
    return c;
}

void ComposeWindow::choosePhotos() {
    const QStringList files =
        QFileDialog::getOpenFileNames(this, QStringLiteral("添加照片"), QString(), kPhotoFilter);
    std::vector<std::filesystem::path> paths;
    for (const QString& file : files) {
        paths.push_back(pathOf(file));
    }
    if (!paths.empty()) {
        addPhotos(paths);
    }
}

void ComposeWindow::chooseMusic() {
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("选择音乐"), QString(), kMusicFilter);
    if (!file.isEmpty()) {
        setMusic(pathOf(file));
    }
}

void ComposeWindow::toggleListening() {
    if (listening_) {
        listening_.reset();
        listenButton_->setText(QStringLiteral("试听"));
        return;
    }
    if (music_.empty()) {
        status_->setText(QStringLiteral("还没有选音乐。请先点“选择音乐…”。"));
        return;
    }
    listening_ = std::make_unique<ComposeListening>(music_);
    listenButton_->setText(QStringLiteral("停止"));
    pollTimer_->start();
}

void ComposeWindow::previewLater() {
    previewDelay_->start();
}

void ComposeWindow::startPreview() {
    if (previewJob_) {
        previewJob_->cancel();
        retiringPreviews_.push_back(std::move(previewJob_));
    }
    if (photos_.empty()) {
        previewFrames_.clear();
        previewTurn_->stop();
        preview_->setPixmap({});
        preview_->setText(QStringLiteral("添加照片后，这里显示风格的样子"));
        return;
    }
    previewJob_ =
        std::make_unique<StylePreviewJob>(previewComposition(choices()), kPreviewFrameCount);
    pollTimer_->start();
}

void ComposeWindow::poll() {
    std::erase_if(retiringPreviews_, [](const auto& job) { return job->finished(); });
    std::erase_if(retiringThumbnails_, [](const auto& job) { return job->finished(); });
    if (thumbnailJob_) {
        // Finished first: what it made before that is all in the next take.
        const bool done = thumbnailJob_->finished();
        std::vector<ThumbnailJob::Thumbnail> made = thumbnailJob_->takeReady();
        for (ThumbnailJob::Thumbnail& one : made) {
            if (one.image.isNull()) {
                unreadable_[one.key] = one.problem;
            } else {
                thumbnails_[one.key] = std::move(one.image);
            }
        }
        if (!made.empty()) {
            refreshIcons();
        }
        if (done) {
            thumbnailJob_.reset();
        }
    }
    if (previewJob_ && previewJob_->finished()) {
        previewFrames_ = previewJob_->frames();
        previewShown_ = 0;
        if (previewFrames_.empty()) {
            preview_->setPixmap({});
            preview_->setText(qs(previewJob_->message()));
            previewTurn_->stop();
        } else {
            preview_->setPixmap(QPixmap::fromImage(previewFrames_.front()));
            previewTurn_->start();
        }
        previewJob_.reset();
    }
    if (listening_) {
        const ComposeListening::State state = listening_->state();
        if (state == ComposeListening::State::Failed) {
            const QString why = qs(listening_->message());
            listening_.reset();
            listenButton_->setText(QStringLiteral("试听"));
            showFailure(why);
        } else if (state == ComposeListening::State::Ended) {
            listening_.reset();
            listenButton_->setText(QStringLiteral("试听"));
        }
    }
    if (job_) {
        progress_->setValue(static_cast<int>(job_->progress() * 100));
        if (job_->finished()) {
            finishGeneration();
        }
    }
    const bool busy = job_ || previewJob_ || thumbnailJob_ || listening_ ||
                      !retiringPreviews_.empty() || !retiringThumbnails_.empty();
    if (!busy) {
        pollTimer_->stop();
    }
}

void ComposeWindow::chooseAndGenerate() {
    if (photos_.empty()) {
        showFailure(QStringLiteral("还没有照片。请先点“添加照片…”，或把照片拖进来。"));
        return;
    }
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("影片存到哪里"),
                                                      QStringLiteral("贺卡影片.swf"), kMovieFilter);
    if (!file.isEmpty()) {
        generateTo(pathOf(file));
    }
}

void ComposeWindow::generateTo(const std::filesystem::path& movie) {
    if (job_) {
        return;
    }
    listening_.reset();
    listenButton_->setText(QStringLiteral("试听"));
    job_ = std::make_unique<ComposeJob>(compositionFor(choices(), base_), moviePathFor(movie));
    status_->setText(QStringLiteral("正在生成影片…"));
    setWorking(true);
    pollTimer_->start();
}

void ComposeWindow::cancelGeneration() {
    if (job_) {
        job_->cancel();
        status_->setText(QStringLiteral("正在取消…"));
    }
}

void ComposeWindow::finishGeneration() {
    const std::unique_ptr<ComposeJob> job = std::move(job_);
    setWorking(false);
    switch (job->outcome()) {
    case ComposeJob::Outcome::Written: {
        QString text = QStringLiteral("影片已生成：") + qs(job->target());
        for (const std::string& notice : job->notices()) {
            text += QStringLiteral("\n") + qs(notice);
        }
        status_->setText(text);
        const bool drawsText = !titleEdit_->text().trimmed().isEmpty() ||
                               !wordsEdit_->toPlainText().trimmed().isEmpty();
        emit movieMade(qs(job->target()), wordsEdit_->toPlainText(), drawsText);
        if (!job->notices().empty()) {
            QMessageBox::information(this, QStringLiteral("生成影片"), text);
        }
        break;
    }
    case ComposeJob::Outcome::Cancelled:
        status_->setText(QStringLiteral("已取消，没有写出影片。"));
        break;
    case ComposeJob::Outcome::Failed:
        status_->setText(qs(job->message()));
        showFailure(qs(job->message()));
        break;
    case ComposeJob::Outcome::Running:
        break;
    }
}

void ComposeWindow::setWorking(bool working) {
    inputs_->setEnabled(!working);
    generateButton_->setVisible(!working);
    cancelButton_->setVisible(working);
    progress_->setVisible(working);
    progress_->setValue(0);
}

bool ComposeWindow::saveCompositionTo(const std::filesystem::path& file) {
    try {
        composer::saveComposition(compositionFor(choices(), base_), file);
    } catch (const composer::ComposeError& error) {
        showFailure(qs(std::string(error.what())));
        return false;
    }
    status_->setText(QStringLiteral("方案已保存：") + qs(file));
    return true;
}

bool ComposeWindow::openCompositionFrom(const std::filesystem::path& file) {
    try {
        showComposition(composer::loadComposition(file));
    } catch (const composer::ComposeError& error) {
        showFailure(qs(std::string(error.what())));
        return false;
    }
    status_->setText(QStringLiteral("已打开方案：") + qs(file));
    return true;
}

void ComposeWindow::chooseAndSave() {
    const QString file = QFileDialog::getSaveFileName(
        this, QStringLiteral("保存方案"), QStringLiteral("影片方案.vmcompose"), kCompositionFilter);
    if (!file.isEmpty()) {
        saveCompositionTo(pathOf(file));
    }
}

void ComposeWindow::chooseAndOpen() {
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("打开方案"), QString(),
                                                      kCompositionFilter);
    if (!file.isEmpty()) {
        openCompositionFrom(pathOf(file));
    }
}

void ComposeWindow::setPasswordSet(bool set) {
    passwordNote_->setVisible(set);
}

void ComposeWindow::showFailure(const QString& text) {
    QMessageBox::warning(this, QStringLiteral("用照片制作"), text);
}

void ComposeWindow::closeEvent(QCloseEvent* event) {
    // Closing stops the work: a movie half made is not written.
    if (job_) {
        job_->cancel();
    }
    event->accept();
}

void ComposeWindow::reject() {
    if (job_) {
        job_->cancel();
    }
    QDialog::reject();
}

void ComposeWindow::hideEvent(QHideEvent* event) {
    // A window put away (closed, or Esc) stops the song; its choices stay for the next time.
    listening_.reset();
    listenButton_->setText(QStringLiteral("试听"));
    QDialog::hideEvent(event);
}

} // namespace builder
