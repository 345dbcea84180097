// The photo window's flow as the person goes through it, offscreen: photos in, ordered,
// turned and removed, a style chosen, the movie made and loaded into the builder; cancelled;
// saved and reopened; a bad photo named.

#include "ComposeWindow.h"
#include "ComposeCropDialog.h"
#include "ComposePhotoView.h"
#include "DockingHost.h"
#include "MainForm.h"
#include "MovieWidget.h"
#include "TestApp.h"
#include "cardformat/ErrorLog.h"
#include "liulan.h"
#include "zhufu.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QUrl>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <unistd.h>

namespace builder {
namespace {

namespace fs = std::filesystem;
using testing::processEvents;
using testing::whenModalDialogOpens;

constexpr std::int16_t ComposeButton = 6;

// The next message box's text goes into `told`, and the box is accepted.
void acceptNextMessageInto(QString& told) {
    whenModalDialogOpens([&told](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        told = box->text();
        box->accept();
    });
}

QString qs(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// Lets the window's timers and the work off its thread go on until `done`, for a minute at
// most.
bool waitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

QStringList shownNames(const ComposeWindow& window) {
    QStringList names;
    for (int i = 0; i < window.photoView()->count(); ++i) {
        names << window.photoView()->item(i)->text();
    }
    return names;
}

// A drag that enters the list and is let go at `at`: the application delivers a drop only to
// the widget that took the drag's entry.
void dropOn(ComposePhotoView* view, QMimeData* data, QPoint at) {
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &drop);
}

class ComposeWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::app();
        dir = fs::temp_directory_path() /
              ("builder-compose-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        cardformat::ErrorLog::configure("Trelvane.log", dir.string());
        const fs::path bin = VELMORA_TEST_BIN_DIR;
        const fs::path player = bin / "Velmora.vmd";
        fs::copy_file(fs::exists(player) ? player : bin / "testtemplate.vmd", dir / "Velmora.vmd");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qs(dir / "settings"));
        watchdog.emplace();
        form.emplace(docking, MainForm::Options{dir.string()});
        form->show();
    }
    void TearDown() override {
        EXPECT_EQ(watchdog->closedDialogs(), 0) << "a dialog nobody expected was shown";
        watchdog.reset();
        form.reset();
        processEvents();
        fs::remove_all(dir);
    }

    // Photos named as people name them: Chinese characters and spaces. Left half red, right
    // half blue, each a little different so that no two files are the same.
    std::vector<fs::path> photos(int count, int width = 640, int height = 480) {
        std::vector<fs::path> files;
        for (int i = 0; i < count; ++i) {
            QImage image(width, height, QImage::Format_RGB32);
            image.fill(QColor(200, 30, 30));
            for (int y = 0; y < height; ++y) {
                for (int x = width / 2; x < width; ++x) {
                    image.setPixel(x, y, qRgb(30, 30, 200 + i % 50));
                }
            }
            files.push_back(dir / ("春节 照片" + std::to_string(i) + ".jpg"));
            EXPECT_TRUE(image.save(qs(files.back()), "JPEG"));
        }
        return files;
    }

    ComposeWindow& openWindow() {
        // The toolbar's caption, released, runs the button as the icon does.
        QTest::mouseRelease(form->Label3(ComposeButton), Qt::LeftButton, Qt::NoModifier,
                            QPoint(3, 3));
        EXPECT_NE(form->composeWindow(), nullptr);
        EXPECT_TRUE(form->composeWindow()->isVisible());
        return *form->composeWindow();
    }

    fs::path dir;
    DockingHost docking;
    std::optional<testing::DialogWatchdog> watchdog;
    std::optional<MainForm> form;
};

TEST_F(ComposeWindowTest, PhotosBecomeAMovieTheBuilderLoadsWithTheWordsAsBlessing) {
    EXPECT_EQ(form->Label3(ComposeButton)->text(), QStringLiteral("用照片制作…"));
    ComposeWindow& window = openWindow();
    const std::vector<fs::path> files = photos(4);

    // Three from the file dialog's way in, one dropped from outside with a file that is not
    // a photo.
    window.addPhotos({files[0], files[1], files[2]});
    auto* dropped = new QMimeData;
    dropped->setUrls(
        {QUrl::fromLocalFile(qs(files[3])), QUrl::fromLocalFile(qs(dir / "说明.txt"))});
    dropOn(window.photoView(), dropped, QPoint(5, 5));
    delete dropped;
    EXPECT_EQ(window.photos().size(), 4u);
    EXPECT_TRUE(window.statusLabel()->text().contains(QStringLiteral("说明.txt")));
    EXPECT_EQ(shownNames(window).first(), QStringLiteral("春节 照片0.jpg"));

    // The last dragged onto the first: it goes to the front.
    window.photoView()->setCurrentRow(3);
    auto* own = new QMimeData;
    own->setData(QStringLiteral("application/x-qabstractitemmodeldatalist"), QByteArray("x"));
    const QRect first = window.photoView()->visualItemRect(window.photoView()->item(0));
    dropOn(window.photoView(), own, first.center());
    delete own;
    EXPECT_EQ(shownNames(window),
              (QStringList{QStringLiteral("春节 照片3.jpg"), QStringLiteral("春节 照片0.jpg"),
                           QStringLiteral("春节 照片1.jpg"), QStringLiteral("春节 照片2.jpg")}));
    window.removePhoto(2);
    window.turnPhoto(0, 1);
    EXPECT_EQ(window.photos().photos()[0].edit.quarterTurns, 1);
    EXPECT_EQ(shownNames(window).size(), 3);
    ASSERT_TRUE(waitUntil([&] { return window.thumbnailsReady(); }));
    EXPECT_FALSE(window.photoView()->item(0)->icon().isNull());

    window.styleBox()->setCurrentIndex(window.styleBox()->findData(QStringLiteral("中秋")));
    window.titleEdit()->setText(QStringLiteral("中秋快乐"));
    window.wordsEdit()->setPlainText(QStringLiteral("月圆人团圆\n万事如意"));
    // The live look at the style comes without anyone waiting for it.
    ASSERT_TRUE(waitUntil([&] { return window.previewFrames() > 0; }));
    EXPECT_FALSE(window.stylePreview()->pixmap().isNull());

    window.generateTo(dir / "中秋 贺卡");
    EXPECT_TRUE(window.generating());
    EXPECT_TRUE(window.cancelButton()->isVisible());
    EXPECT_FALSE(window.generateButton()->isVisible());
    ASSERT_TRUE(waitUntil([&] { return !window.generating(); }));
    const fs::path movie = dir / "中秋 贺卡.swf";
    ASSERT_TRUE(fs::exists(movie)) << window.statusLabel()->text().toStdString();

    // Loaded as an opened movie is: source, preview, card path; the words are the blessing.
    EXPECT_EQ(form->SoureFileText()->text(), qs(movie));
    EXPECT_EQ(form->preview()->ShockwaveFlash1().Movie(), movie.string());
    EXPECT_EQ(form->TextPath()->text(), qs(dir / "中秋 贺卡.exe"));
    EXPECT_EQ(form->blessing(), "月圆人团圆\n万事如意");
    EXPECT_EQ(form->txtInfo()->text(), QStringLiteral("月圆人团圆\n万事如意"));

    // And the card is made from it as from any movie.
    bool succeeded = false;
    whenModalDialogOpens([&succeeded](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        succeeded = box->text().startsWith(QStringLiteral("制作成功！"));
        box->accept();
    });
    form->generation().MakeCard();
    EXPECT_TRUE(succeeded);
    EXPECT_TRUE(fs::exists(dir / "中秋 贺卡.exe"));
}

TEST_F(ComposeWindowTest, CancelledMidwayLeavesNoMovie) {
    ComposeWindow& window = openWindow();
    window.addPhotos(photos(8, 2400, 1800));
    // Cancelled while it works (at once: how far the work got depends on the machine's load;
    // the job's own test cancels it between photos).
    window.generateTo(dir / "取消.swf");
    ASSERT_TRUE(window.generating());
    QTest::mouseClick(window.cancelButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !window.generating(); }));
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("已取消，没有写出影片。"));
    EXPECT_FALSE(fs::exists(dir / "取消.swf"));
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().string().find("取消"), std::string::npos) << entry.path();
    }
    EXPECT_TRUE(form->SoureFileText()->text().isEmpty());
    EXPECT_TRUE(window.generateButton()->isVisible());

    // Put away with Esc while it works: the same.
    window.generateTo(dir / "走开.swf");
    ASSERT_TRUE(window.generating());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    ASSERT_TRUE(waitUntil([&] { return !window.generating(); }));
    EXPECT_FALSE(fs::exists(dir / "走开.swf"));
    EXPECT_TRUE(form->SoureFileText()->text().isEmpty());
}

TEST_F(ComposeWindowTest, ASavedCompositionReopensAsItWas) {
    ComposeWindow& window = openWindow();
    const std::vector<fs::path> files = photos(3);
    window.addPhotos(files);
    window.turnPhoto(1, -1);
    window.cropPhoto(2, 0.25, 0.0, 0.5, 1.0);
    window.setMusic(dir / "歌 曲.mp3");
    window.styleBox()->setCurrentIndex(window.styleBox()->findData(QStringLiteral("中秋")));
    window.titleEdit()->setText(QStringLiteral("标题"));
    window.wordsEdit()->setPlainText(QStringLiteral("第一行\n第二行"));
    window.sizeBox()->setCurrentIndex(2);
    window.fpsBox()->setValue(30);
    window.endingBox()->setCurrentIndex(1);
    const fs::path saved = dir / "我的 方案.vmcompose";
    ASSERT_TRUE(window.saveCompositionTo(saved));
    const ComposeChoices before = window.choices();

    ComposeWindow again;
    ASSERT_TRUE(again.openCompositionFrom(saved));
    const ComposeChoices after = again.choices();
    EXPECT_EQ(after.photos, before.photos);
    EXPECT_EQ(after.photos[1].edit.quarterTurns, 3);
    EXPECT_DOUBLE_EQ(after.photos[2].edit.cropLeft, 0.25);
    EXPECT_EQ(after.music, before.music);
    EXPECT_EQ(after.style, "中秋");
    EXPECT_EQ(after.title, "标题");
    EXPECT_EQ(after.words, "第一行\n第二行");
    EXPECT_EQ(after.sizePreset, std::optional<std::size_t>(2));
    EXPECT_EQ(after.fps, 30);
    EXPECT_TRUE(after.loop);
    EXPECT_EQ(shownNames(again).size(), 3);

    // A file that is no composition is named, and the window keeps what it had.
    const fs::path junk = dir / "不是 方案.vmcompose";
    std::ofstream(junk) << "no";
    QString told;
    acceptNextMessageInto(told);
    EXPECT_FALSE(again.openCompositionFrom(junk));
    EXPECT_TRUE(told.contains(QStringLiteral("不是 方案.vmcompose"))) << told.toStdString();
    EXPECT_EQ(again.choices().photos.size(), 3u);
}

TEST_F(ComposeWindowTest, ABadPhotoIsNamedAndNothingIsWritten) {
    form->setPassword("secret");
    ComposeWindow& window = openWindow();
    EXPECT_FALSE(window.passwordNote()->isHidden())
        << "the words are seen by whoever opens the card";
    const fs::path bad = dir / "坏 照片.jpg";
    std::ofstream(bad) << "this is no photo";
    std::vector<fs::path> files = photos(2);
    files.insert(files.begin() + 1, bad);
    window.addPhotos(files);
    ASSERT_TRUE(waitUntil([&] { return window.thumbnailsReady(); }));
    EXPECT_TRUE(window.photoView()->item(1)->toolTip().contains(QStringLiteral("坏 照片.jpg")));

    QString told;
    acceptNextMessageInto(told);
    window.generateTo(dir / "坏.swf");
    ASSERT_TRUE(waitUntil([&] { return !window.generating() && !told.isEmpty(); }));
    EXPECT_TRUE(told.contains(QStringLiteral("坏 照片.jpg"))) << told.toStdString();
    EXPECT_FALSE(fs::exists(dir / "坏.swf"));
    EXPECT_TRUE(form->SoureFileText()->text().isEmpty());
}

TEST_F(ComposeWindowTest, WithAPasswordTheBuilderSaysWhoSeesTheWords) {
    form->setPassword("secret");
    ComposeWindow& window = openWindow();
    window.addPhotos(photos(1));
    window.wordsEdit()->setPlainText(QStringLiteral("你好"));
    QString told;
    acceptNextMessageInto(told);
    window.generateTo(dir / "密码.swf");
    ASSERT_TRUE(waitUntil([&] { return !window.generating() && !told.isEmpty(); }));
    EXPECT_TRUE(told.contains(QStringLiteral("查看密码"))) << told.toStdString();
    EXPECT_EQ(form->blessing(), "你好");
    EXPECT_EQ(form->password(), "secret") << "the password stays";

    // Without a title or words nothing is drawn, and nothing needs saying (the watchdog
    // fails the test on any message box).
    window.wordsEdit()->clear();
    window.generateTo(dir / "无字.swf");
    ASSERT_TRUE(waitUntil([&] { return !window.generating(); }));
    EXPECT_EQ(form->SoureFileText()->text(), qs(dir / "无字.swf"));
}

TEST_F(ComposeWindowTest, WhatTheComposerHadToChangeIsTold) {
    ComposeWindow& window = openWindow();
    window.addPhotos(photos(1));
    // Far more words than the ending holds.
    window.wordsEdit()->setPlainText(QString(3000, QChar(0x798F)));
    QString told;
    acceptNextMessageInto(told);
    window.generateTo(dir / "长.swf");
    ASSERT_TRUE(waitUntil([&] { return !window.generating() && !told.isEmpty(); }));
    EXPECT_TRUE(told.contains(QStringLiteral("放不下的部分已略去"))) << told.toStdString();
    EXPECT_TRUE(fs::exists(dir / "长.swf")) << "the movie is made all the same";
    EXPECT_EQ(form->SoureFileText()->text(), qs(dir / "长.swf"));
}

TEST_F(ComposeWindowTest, TheCropFrameIsKeptAsSharesOfThePhotoAndEnterKeepsIt) {
    QImage photo(480, 360, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    composer::PhotoEdit edit;
    ComposeCropDialog dialog(photo, edit, nullptr);
    dialog.show();
    // The picture is shown at its own size, centred, 12 pixels down: a frame over the top
    // of its right half.
    const double left = (dialog.width() - 480) / 2.0;
    dialog.dragFrame(QPointF(left + 240, 12), QPointF(left + 480 + 50, 12 + 180));
    EXPECT_DOUBLE_EQ(dialog.crop().left(), 0.5);
    EXPECT_DOUBLE_EQ(dialog.crop().width(), 0.5) << "dragged past the edge, the frame stops there";
    EXPECT_DOUBLE_EQ(dialog.crop().height(), 0.5);
    // A click without a drag changes nothing.
    dialog.dragFrame(QPointF(left + 10, 20), QPointF(left + 12, 22));
    EXPECT_DOUBLE_EQ(dialog.crop().left(), 0.5);

    // The focus starts on the first button, "整张照片", as a window manager gives it.
    QPushButton* whole = nullptr;
    for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
        whole = b->text() == QStringLiteral("整张照片") ? b : whole;
    }
    ASSERT_NE(whole, nullptr);
    whole->setFocus();
    QTest::keyClick(whole, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(dialog.crop().left(), 0.5) << "Enter keeps the frame, not the whole photo";
}

} // namespace
} // namespace builder
