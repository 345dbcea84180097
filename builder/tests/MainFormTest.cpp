#include "MainForm.h"
#include "CaptionBar.h"
#include "DockingHost.h"
#include "LargePreview.h"
#include "MovieWidget.h"
#include "TestApp.h"
#include "UrlCatcher.h"
#include "VolumeControls.h"
#include "cardformat/CardLayout.h"
#include "cardformat/DefaultBlessing.h"
#include "cardformat/ErrorLog.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/Platform.h"
#include "cardformat/SwfHeader.h"
#include "liulan.h"
#include "zhufu.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <unistd.h>
#include <vector>

namespace builder {
namespace {

namespace fs = std::filesystem;
using testing::processEvents;
using testing::whenModalDialogOpens;

constexpr std::int16_t GenerateButton = 0;
constexpr std::int16_t PreviewButton = 1;
constexpr std::int16_t BlessingButton = 2;
constexpr std::int16_t HelpButton = 3;
constexpr std::int16_t LargePreviewButton = 5;
constexpr std::int16_t ExitButton = 4;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Types text as a keyboard would, one character a key, also characters without a key code.
void typeText(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &up);
    }
}

// Handles the next message box once it is the modal window (after any file dialog).
void whenMessageBoxOpens(const std::function<void(QMessageBox*)>& handle, int attemptsLeft = 300) {
    QTimer::singleShot(10, [handle, attemptsLeft] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            handle(box);
        } else if (attemptsLeft > 0) {
            whenMessageBoxOpens(handle, attemptsLeft - 1);
        } else {
            ADD_FAILURE() << "no message box opened";
        }
    });
}

class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::app();
        dir = fs::temp_directory_path() /
              ("builder-ui-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        cardformat::ErrorLog::configure("Trelvane.log", dir.string());
        // The card template under the name the builder asks for: the player's when it was
        // built, the stand-in otherwise.
        const fs::path bin = VELMORA_TEST_BIN_DIR;
        const fs::path player = bin / "Velmora.vmd";
        fs::copy_file(fs::exists(player) ? player : bin / "testtemplate.vmd", dir / "Velmora.vmd");
        watchdog.emplace();
        // Each test keeps its settings in its own folder: tests run side by side, and none
        // may touch the settings of the person running them.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((dir / "settings").string()));
        form.emplace(docking, MainForm::Options{dir.string()});
        form->show();
    }
    void TearDown() override {
        EXPECT_EQ(watchdog->closedDialogs(), 0) << "a dialog nobody expected was shown";
        watchdog.reset();
        form.reset();
        processEvents();
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }

    std::string copySample(const std::string& name) {
        const char* source = std::getenv("VELMORA_SOURCE_DIR");
        const fs::path target = dir / name;
        fs::copy_file(fs::path(source ? source : ".") / "samples" / "greeting.swf", target);
        return target.string();
    }
    std::string withNote(const std::string& name, const std::string& blessing) {
        std::string movie = copySample(name);
        std::string title = "t";
        EXPECT_TRUE(cardformat::writeNote(movie, "a", "p", blessing, "1.0", title, {}));
        return movie;
    }

    void press(QWidget* target, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(target, button, Qt::NoModifier, QPoint(3, 3));
    }
    void release(QWidget* target, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(target, button, Qt::NoModifier, QPoint(3, 3));
    }
    void click(QWidget* target, Qt::MouseButton button = Qt::LeftButton) {
        press(target, button);
        release(target, button);
    }

    // Answers the next open dialog with `path`.
    void answerOpenDialog(const std::string& path) {
        whenModalDialogOpens([path](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(files->windowTitle(), QStringLiteral("打开..."));
            EXPECT_EQ(files->fileMode(), QFileDialog::ExistingFile);
            // Typed as a whole path, the name does not depend on the folder the dialog shows.
            auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(QString::fromStdString(path));
            static_cast<QDialog*>(files)->accept();
        });
    }
    // Expects the success message for `card` next and closes it.
    void expectSuccessMessage(bool& seen, const fs::path& card) {
        whenModalDialogOpens([&seen, card](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Velmora"));
            EXPECT_EQ(box->text(), QStringLiteral("制作成功！\n贺卡保存在：\n") +
                                       QString::fromStdString(card.string()));
            EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
            seen = true;
            box->accept();
        });
    }
    // Expects a failure message next that holds `words`, and closes it.
    void expectFailureMessage(bool& seen, const QString& words) {
        whenModalDialogOpens([&seen, words](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Velmora"));
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            EXPECT_TRUE(box->text().contains(words)) << box->text().toStdString();
            seen = true;
            box->accept();
        });
    }

    fs::path dir;
    DockingHost docking;
    std::optional<testing::DialogWatchdog> watchdog;
    std::optional<MainForm> form;
};

TEST_F(MainFormTest, PathBoxesAndButtonsShowTheirColours) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(form->client()->size(), QSize(433, 325));
    EXPECT_EQ(form->captionBar()->caption(), QStringLiteral("Velmora"));
    EXPECT_EQ(form->txtInfo()->text(), QString());
    EXPECT_EQ(form->blessingColour(), QColor(192, 192, 0));

    const QImage picture = form->client()->grab().toImage();
    EXPECT_EQ(picture.pixelColor(380, 16), QColor(22, 71, 104));
    EXPECT_EQ(picture.pixelColor(380, 272), QColor(54, 129, 212));
    EXPECT_EQ(picture.pixelColor(405, 12), QColor(192, 192, 255));
    EXPECT_EQ(form->Image1(BlessingButton)->toolTip(), QStringLiteral("显示祝福留言窗口"));
    EXPECT_EQ(form->Label3(PreviewButton)->toolTip(), QStringLiteral("显示Flash预览窗口"));
    EXPECT_EQ(form->Image1(HelpButton)->toolTip(), QString());
}

TEST_F(MainFormTest, LoadShowsBothCompanionsDockedAtTheRightEdge) {
    ASSERT_NE(form->preview(), nullptr);
    ASSERT_NE(form->blessingEditor(), nullptr);
    EXPECT_TRUE(form->preview()->isVisible());
    EXPECT_TRUE(form->blessingEditor()->isVisible());
    const QRect main = form->frameGeometry();
    EXPECT_EQ(form->preview()->pos(), QPoint(main.left() + main.width(), main.top()));
    EXPECT_EQ(form->blessingEditor()->pos(), QPoint(main.left() + main.width(), main.top() + 230));
    // The editor stands right below the preview.
    EXPECT_EQ(form->preview()->frameGeometry().bottom() + 1, form->blessingEditor()->y());
    EXPECT_EQ(form->preview()->client()->size(), QSize(312, 206));
    EXPECT_EQ(form->blessingEditor()->client()->size(), QSize(311, 214));
    EXPECT_EQ(form->preview()->windowTitle(), QStringLiteral("             Flash浏览窗口"));
    EXPECT_EQ(form->blessingEditor()->windowTitle(),
              QStringLiteral("                写下你的祝福"));

    const DockList& list = docking.docking().dockList();
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list[0].window, form->handle());
    EXPECT_EQ(docking.docking().mainDockWindow(), form->handle());
    EXPECT_EQ(list[1].window, form->preview()->handle());
    EXPECT_EQ(list[2].window, form->blessingEditor()->handle());
}

TEST_F(MainFormTest, IconPressShiftsTheButtonUntilRelease) {
    form->preview()->close();
    processEvents();
    QLabel* icon = form->Image1(PreviewButton);
    QLabel* caption = form->Label3(PreviewButton);
    press(icon, Qt::RightButton);
    EXPECT_EQ(icon->pos(), QPoint(106, 298));
    EXPECT_EQ(caption->pos(), QPoint(130, 300));
    EXPECT_EQ(form->preview(), nullptr);
    release(icon, Qt::RightButton);
    EXPECT_EQ(icon->pos(), QPoint(104, 296));
    EXPECT_EQ(caption->pos(), QPoint(128, 298));
    ASSERT_NE(form->preview(), nullptr);
    EXPECT_TRUE(form->preview()->isVisible());
}

TEST_F(MainFormTest, CaptionPressDoesNotMoveAndReleaseRunsTheAction) {
    form->blessingEditor()->close();
    processEvents();
    ASSERT_EQ(form->blessingEditor(), nullptr);
    QLabel* caption = form->Label3(BlessingButton);
    press(caption, Qt::MiddleButton);
    EXPECT_EQ(form->Image1(BlessingButton)->pos(), QPoint(168, 32));
    EXPECT_EQ(caption->pos(), QPoint(186, 32));
    release(caption, Qt::MiddleButton);
    ASSERT_NE(form->blessingEditor(), nullptr);
    EXPECT_TRUE(form->blessingEditor()->isVisible());
}

TEST_F(MainFormTest, ReopenedPreviewIsPlacedAgainAndPlaysTheLoadedMovie) {
    answerOpenDialog(withNote("a.swf", "x"));
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    EXPECT_FALSE(form->preview()->ShockwaveFlash1().Movie().empty());
    form->move(form->pos() + QPoint(-20, 15));
    QTest::mouseClick(form->preview()->captionBar(), Qt::LeftButton, {},
                      form->preview()->captionBar()->closeBoxRect().center());
    processEvents();
    ASSERT_EQ(form->preview(), nullptr);
    click(form->Image1(PreviewButton));
    ASSERT_NE(form->preview(), nullptr);
    EXPECT_EQ(form->preview()->pos(), QPoint(form->frameGeometry().right() + 1, form->y()));
    EXPECT_EQ(form->preview()->ShockwaveFlash1().Movie(), (dir / "a.swf").string());
    EXPECT_TRUE(form->preview()->ShockwaveFlash1().hasMovie());
    EXPECT_TRUE(form->preview()->ShockwaveFlash1().Playing());
    EXPECT_EQ(docking.docking().dockList().count(), 4); // a new window, a new entry
}

TEST_F(MainFormTest, PathBoxesShowTheWholeLineOfTheirText) {
    // Lit pixels of "ny_card" in a box and in one tall enough for any font: the same rows.
    const auto litRows = [](QLineEdit& box) {
        const QImage picture = box.grab().toImage();
        int rows = 0;
        for (int y = 2; y < picture.height() - 2; ++y) {
            for (int x = 4; x < picture.width() - 4; ++x) {
                if (qGray(picture.pixel(x, y)) > 200) {
                    ++rows;
                    break;
                }
            }
        }
        return rows;
    };
    for (QLineEdit* box : {form->TextPath(), form->SoureFileText()}) {
        box->setText(QStringLiteral("ny_card"));
        box->setCursorPosition(0);
        box->clearFocus();
        QLineEdit tall;
        tall.setStyleSheet(box->styleSheet());
        tall.setFont(box->font());
        tall.resize(box->width(), 60);
        tall.setText(box->text());
        tall.setCursorPosition(0);
        EXPECT_EQ(litRows(*box), litRows(tall)) << box->height();
    }
}

TEST_F(MainFormTest, TheBlessingOnScreenIsTheOneTheCardGets) {
    zhufu* editor = form->blessingEditor();
    // The poem alone is nobody's text: a movie's own blessing replaces it without a question.
    answerOpenDialog(withNote("theirs.swf", "动画里的祝福"));
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    EXPECT_EQ(form->txtInfo()->text(), QStringLiteral("动画里的祝福"));
    EXPECT_EQ(editor->Text1()->toPlainText(), QStringLiteral("动画里的祝福"));
    EXPECT_FALSE(form->blessingTyped());

    editor->Text1()->selectAll();
    typeText(editor->Text1(), QStringLiteral("我写的"));
    EXPECT_TRUE(form->blessingTyped());
    // A movie without a blessing of its own keeps what was written, in both windows.
    answerOpenDialog(copySample("plain.swf"));
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    EXPECT_EQ(form->txtInfo()->text(), QStringLiteral("我写的"));
    EXPECT_EQ(editor->Text1()->toPlainText(), QStringLiteral("我写的"));

    // One with its own asks; keeping what was written is the default answer.
    answerOpenDialog(withNote("other.swf", "另一个祝福"));
    bool asked = false;
    whenMessageBoxOpens([&asked](QMessageBox* box) {
        EXPECT_EQ(box->informativeText(), QStringLiteral("另一个祝福"));
        asked = true;
        box->defaultButton()->click();
    });
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    EXPECT_TRUE(asked);
    EXPECT_EQ(form->txtInfo()->text(), QStringLiteral("我写的"));
    EXPECT_EQ(editor->Text1()->toPlainText(), QStringLiteral("我写的"));

    bool success = false;
    expectSuccessMessage(success, dir / "other.exe");
    click(form->Image1(GenerateButton));
    ASSERT_TRUE(success);
    EXPECT_EQ(cardformat::getNote((dir / "other.swf").string()).Blessing, "我写的");

    // A reopened editor shows that blessing too, not the poem again.
    editor->close();
    processEvents();
    click(form->Image1(BlessingButton));
    EXPECT_EQ(form->blessingEditor()->Text1()->toPlainText(), QStringLiteral("我写的"));
}

TEST_F(MainFormTest, LoadingAMovieShowsItsBlessingAndProposesTheCardPath) {
    const std::string movie = withNote("newyear.swf", "过年好");
    answerOpenDialog(movie);
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    EXPECT_EQ(form->SoureFileText()->text().toStdString(), movie);
    EXPECT_EQ(form->SoureFileText()->toolTip().toStdString(), movie);
    EXPECT_EQ(form->txtInfo()->text(), QStringLiteral("过年好"));
    EXPECT_EQ(form->TextPath()->text().toStdString(), (dir / "newyear.exe").string());
    EXPECT_EQ(form->TextPath()->toolTip().toStdString(), (dir / "newyear.exe").string());
    const mc::MovieWidget& preview = form->preview()->ShockwaveFlash1();
    EXPECT_EQ(preview.Movie(), movie);
    EXPECT_TRUE(preview.hasMovie());
    EXPECT_TRUE(preview.Playing());
    EXPECT_TRUE(preview.Loop());
}

TEST_F(MainFormTest, LoadingIntoAClosedPreviewCreatesItHidden) {
    form->preview()->close();
    processEvents();
    answerOpenDialog(copySample("b.swf"));
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    ASSERT_NE(form->preview(), nullptr);
    EXPECT_FALSE(form->preview()->isVisible());
    EXPECT_EQ(form->preview()->ShockwaveFlash1().Movie(), (dir / "b.swf").string());
}

TEST_F(MainFormTest, BlessingEditorCopiesEveryChangeAndOnlyChanges) {
    zhufu* editor = form->blessingEditor();
    const std::string poem(cardformat::defaultBlessingText());
    EXPECT_EQ(form->blessing(), "");
    EXPECT_EQ(editor->Text1()->toPlainText().toStdString() + "\n", [&] {
        std::string bare = poem;
        std::erase(bare, '\r');
        return bare + "\n";
    }());
    editor->Text1()->moveCursor(QTextCursor::End);
    typeText(editor->Text1(), QStringLiteral("好"));
    EXPECT_EQ(form->blessing(), poem + "好");
    QTest::keyClick(editor->Text1(), Qt::Key_Backspace);
    EXPECT_EQ(form->blessing(), poem);

    QTest::keyClicks(editor->Text2(), QStringLiteral("ab c"));
    EXPECT_EQ(form->password(), "ab c");
    EXPECT_EQ(editor->Text2()->displayText(), QStringLiteral("****"));
    EXPECT_EQ(editor->Text2()->toolTip(),
              QStringLiteral("如果你加入密码，则对方必须知道密码才能看到祝福（动画谁都能看）。"));
    editor->Text2()->clear();
    EXPECT_EQ(form->password(), "");
}

TEST_F(MainFormTest, TheSendersNameAndTitleReachTheCard) {
    answerOpenDialog(copySample("from.swf"));
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    zhufu* editor = form->blessingEditor();
    QTest::keyClicks(editor->senderName(), QStringLiteral("Xiao Ming"));
    editor->cardTitle()->setText(QStringLiteral("春节快乐"));
    bool success = false;
    expectSuccessMessage(success, dir / "from.exe");
    click(form->Image1(GenerateButton));
    ASSERT_TRUE(success);
    const cardformat::CardNote note = cardformat::getNote((dir / "from.swf").string());
    EXPECT_EQ(note.Author, "Xiao Ming");
    EXPECT_EQ(note.Title, "春节快乐");
    // Both rows stand inside the editor.
    EXPECT_LE(editor->cardTitle()->geometry().bottom(), editor->client()->height());
}

TEST_F(MainFormTest, TheBuilderRemembersFoldersAndRecentMoviesAcrossRuns) {
    const std::string first = withNote("first.swf", "第一个");
    fs::create_directories(dir / "more");
    const std::string second = (dir / "more" / "second.swf").string();
    fs::copy_file(first, second);
    for (const std::string& movie : {first, second}) {
        answerOpenDialog(movie);
        QTest::mouseClick(form->Command1(), Qt::LeftButton);
    }
    EXPECT_EQ(form->recentMovies(), (std::vector<std::string>{second, first}));

    // The next run: the open dialog starts where the last movie was, the menu offers both.
    form.reset();
    processEvents();
    form.emplace(docking, MainForm::Options{dir.string()});
    EXPECT_EQ(form->movieFolder(), (dir / "more").string());
    EXPECT_EQ(form->recentMovies(), (std::vector<std::string>{second, first}));
    const std::unique_ptr<QMenu> menu = form->recentMoviesMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    menu->actions()[1]->trigger(); // the older one
    EXPECT_EQ(form->SoureFileText()->text().toStdString(), first);
    EXPECT_EQ(form->txtInfo()->text(), QStringLiteral("第一个"));
    EXPECT_EQ(form->preview()->ShockwaveFlash1().Movie(), first);
    EXPECT_EQ(form->recentMovies(), (std::vector<std::string>{first, second}));

    // A movie that is gone is not offered.
    fs::remove(second);
    EXPECT_EQ(form->recentMovies(), std::vector<std::string>{first});
}

TEST_F(MainFormTest, ALargerPreviewPlaysPausesAndSeeks) {
    answerOpenDialog(withNote("big.swf", "x"));
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    QTest::mouseDClick(form->preview()->captionBar(), Qt::LeftButton, {}, QPoint(40, 8));
    LargePreview* large = form->largePreview();
    ASSERT_NE(large, nullptr);
    EXPECT_TRUE(large->isVisible());
    mc::MovieWidget& movie = large->movie();
    EXPECT_EQ(movie.Movie(), (dir / "big.swf").string());
    ASSERT_GT(movie.frameCount(), 3u);
    EXPECT_TRUE(movie.Playing());
    EXPECT_EQ(large->position()->maximum(), static_cast<int>(movie.frameCount()) - 1);

    click(large->playButton());
    EXPECT_FALSE(movie.Playing());
    EXPECT_EQ(large->playButton()->text(), QStringLiteral("播放"));
    large->seek(3);
    EXPECT_EQ(movie.currentFrame(), 3u);
    EXPECT_EQ(large->position()->value(), 3);
    large->seek(1);
    EXPECT_EQ(movie.currentFrame(), 1u);
    click(large->playButton());
    EXPECT_TRUE(movie.Playing());
    // It can be resized, and the movie takes the room.
    large->resize(900, 700);
    processEvents();
    EXPECT_GT(movie.width(), 800);
}

// The larger preview has a button of its own on the toolbar, beside the preview's, so that
// nobody has to know about the double click on the preview's title bar.
TEST_F(MainFormTest, TheToolbarOpensTheLargerPreviewWithTheLoadedMovie) {
    QLabel* icon = form->Image1(LargePreviewButton);
    QLabel* caption = form->Label3(LargePreviewButton);
    EXPECT_EQ(caption->text(), QStringLiteral("大预览"));
    EXPECT_FALSE(icon->toolTip().isEmpty());
    EXPECT_EQ(caption->toolTip(), icon->toolTip());
    // Right of the preview button on the same row, and no caption runs into another button.
    const QRect preview = form->Label3(PreviewButton)->geometry();
    EXPECT_EQ(icon->y(), form->Image1(PreviewButton)->y());
    EXPECT_GT(icon->x(), preview.right());
    for (std::size_t i = 0; i < ToolbarButtons.size(); ++i) {
        const QRect button = form->Image1(i)->geometry().united(form->Label3(i)->geometry());
        for (std::size_t j = 0; j < i; ++j) {
            const QRect other = form->Image1(j)->geometry().united(form->Label3(j)->geometry());
            EXPECT_FALSE(button.intersects(other)) << i << " and " << j;
        }
        EXPECT_TRUE(form->client()->rect().contains(button)) << i;
    }

    answerOpenDialog(withNote("big.swf", "x"));
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    ASSERT_EQ(form->largePreview(), nullptr);
    click(caption);
    ASSERT_NE(form->largePreview(), nullptr);
    EXPECT_TRUE(form->largePreview()->isVisible());
    EXPECT_EQ(form->largePreview()->movie().Movie(), (dir / "big.swf").string());
    EXPECT_TRUE(form->largePreview()->movie().hasMovie());
    // The docked preview may be closed: the button still opens the movie the card is made of.
    form->largePreview()->close();
    form->preview()->close();
    processEvents();
    click(icon);
    EXPECT_TRUE(form->largePreview()->isVisible());
    EXPECT_EQ(form->largePreview()->movie().Movie(), (dir / "big.swf").string());
}

TEST_F(MainFormTest, BothPreviewsShareOneVolumeAndMute) {
    answerOpenDialog(withNote("loud.swf", "x"));
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    liulan* preview = form->preview();
    VolumeControls* controls = preview->volume();
    ASSERT_NE(controls, nullptr);
    // On the title bar, clear of the caption and the close box.
    const QRect onBar = controls->geometry();
    EXPECT_EQ(controls->parentWidget(), preview->captionBar());
    EXPECT_TRUE(preview->captionBar()->rect().contains(onBar));
    EXPECT_LT(onBar.right(), preview->captionBar()->closeBoxRect().left());
    EXPECT_GT(onBar.left(), preview->captionBar()->width() / 2);
    EXPECT_EQ(controls->slider()->value(), 100);

    controls->slider()->setValue(40);
    EXPECT_EQ(preview->ShockwaveFlash1().volume(), 40);
    click(controls->muteButton());
    EXPECT_TRUE(preview->ShockwaveFlash1().muted());

    // The larger preview starts where the docked one stands, and leads it from then on.
    form->showLargePreview();
    LargePreview* large = form->largePreview();
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(large->movie().volume(), 40);
    EXPECT_TRUE(large->movie().muted());
    EXPECT_TRUE(large->volume()->muteButton()->isChecked());
    EXPECT_EQ(large->volume()->slider()->value(), 40);
    click(large->volume()->muteButton());
    large->volume()->slider()->setValue(70);
    EXPECT_FALSE(preview->ShockwaveFlash1().muted());
    EXPECT_EQ(preview->ShockwaveFlash1().volume(), 70);
    EXPECT_FALSE(controls->muteButton()->isChecked());
    EXPECT_EQ(controls->slider()->value(), 70);

    // The movie's own menu and key lead both as well.
    mc::MovieWidget& docked = preview->ShockwaveFlash1();
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5),
                              docked.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&docked, &request);
    auto* quarter = docked.findChild<QAction*>(QStringLiteral("Volume25"));
    ASSERT_NE(quarter, nullptr);
    quarter->trigger();
    for (QMenu* menu : docked.findChildren<QMenu*>()) {
        menu->close();
    }
    EXPECT_EQ(controls->slider()->value(), 25);
    EXPECT_EQ(large->movie().volume(), 25);
    EXPECT_EQ(large->volume()->slider()->value(), 25);
    QTest::keyClick(&large->movie(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_TRUE(docked.muted());
    EXPECT_TRUE(controls->muteButton()->isChecked());
    click(controls->muteButton());
    ASSERT_FALSE(large->movie().muted());
    controls->slider()->setValue(70);

    // A preview closed and opened again keeps the level.
    preview->close();
    processEvents();
    ASSERT_EQ(form->preview(), nullptr);
    form->showPreview();
    ASSERT_NE(form->preview(), nullptr);
    EXPECT_EQ(form->preview()->ShockwaveFlash1().volume(), 70);
    EXPECT_EQ(form->preview()->volume()->slider()->value(), 70);
}

TEST_F(MainFormTest, ThePasswordCanBeShownToCheckIt) {
    zhufu* editor = form->blessingEditor();
    QTest::keyClicks(editor->Text2(), QStringLiteral("mi ma"));
    EXPECT_EQ(editor->Text2()->displayText(), QStringLiteral("*****"));
    click(editor->showPassword());
    EXPECT_EQ(editor->Text2()->displayText(), QStringLiteral("mi ma"));
    EXPECT_EQ(form->password(), "mi ma"); // shown or not, the same password
    click(editor->showPassword());
    EXPECT_EQ(editor->Text2()->displayText(), QStringLiteral("*****"));
    // The button stands beside the box, inside the window.
    EXPECT_LE(editor->Text2()->geometry().right(), editor->showPassword()->x());
    EXPECT_LE(editor->showPassword()->geometry().right(), editor->Command1()->x());
}

TEST_F(MainFormTest, CancelledColourDialogAppliesTheColourItStartedFrom) {
    zhufu* editor = form->blessingEditor();
    whenModalDialogOpens([](QWidget* dialog) {
        ASSERT_NE(qobject_cast<QColorDialog*>(dialog), nullptr);
        static_cast<QDialog*>(dialog)->reject();
    });
    QTest::mouseClick(editor->Command1(), Qt::LeftButton);
    EXPECT_EQ(form->blessingColour(), QColor(Qt::black));

    whenModalDialogOpens([](QWidget* dialog) {
        auto* colours = qobject_cast<QColorDialog*>(dialog);
        ASSERT_NE(colours, nullptr);
        EXPECT_EQ(colours->currentColor(), QColor(Qt::black));
        colours->setCurrentColor(QColor(200, 30, 60));
        colours->accept();
    });
    QTest::mouseClick(editor->Command1(), Qt::LeftButton);
    EXPECT_EQ(form->blessingColour(), QColor(200, 30, 60));

    whenModalDialogOpens([](QWidget* dialog) {
        auto* colours = qobject_cast<QColorDialog*>(dialog);
        ASSERT_NE(colours, nullptr);
        EXPECT_EQ(colours->currentColor(), QColor(200, 30, 60));
        colours->setCurrentColor(QColor(1, 2, 3));
        colours->reject();
    });
    QTest::mouseClick(editor->Command1(), Qt::LeftButton);
    EXPECT_EQ(form->blessingColour(), QColor(200, 30, 60));
}

// A drag on a caption bar, with the cursor's screen positions given.
class CaptionDrag {
  public:
    CaptionDrag(DockedWindow& window, QPoint grip) : bar_(*window.captionBar()) {
        start_ = bar_.mapToGlobal(grip);
        send(QEvent::MouseButtonPress, start_, Qt::LeftButton, Qt::LeftButton);
    }
    void moveBy(QPoint delta) {
        send(QEvent::MouseMove, start_ + delta, Qt::NoButton, Qt::LeftButton);
    }
    void release(QPoint delta) {
        send(QEvent::MouseButtonRelease, start_ + delta, Qt::LeftButton, Qt::NoButton);
    }

  private:
    void send(QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons) {
        const QPointF local = bar_.mapFromGlobal(QPointF(global));
        QMouseEvent event(type, local, local, QPointF(global), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&bar_, &event);
    }
    CaptionBar& bar_;
    QPoint start_;
};

TEST_F(MainFormTest, MainWindowDragHoldsThenTakesTheCompanionsAlong) {
    const QPoint main = form->pos();
    const QPoint preview = form->preview()->pos();
    const QPoint editor = form->blessingEditor()->pos();
    CaptionDrag drag(*form, QPoint(60, 10));
    drag.moveBy(QPoint(9, 0));
    EXPECT_EQ(form->pos(), main);
    drag.moveBy(QPoint(10, 0));
    EXPECT_EQ(form->pos(), main + QPoint(10, 0));
    EXPECT_EQ(form->preview()->pos(), preview + QPoint(10, 0));
    EXPECT_EQ(form->blessingEditor()->pos(), editor + QPoint(10, 0));
    drag.moveBy(QPoint(30, 40));
    drag.release(QPoint(30, 40));
    EXPECT_EQ(form->pos(), main + QPoint(30, 40));
    EXPECT_EQ(form->preview()->pos(), preview + QPoint(30, 40));
}

TEST_F(MainFormTest, DraggedCompanionSnapsToTheScreenEdgeAndLeavesTheGroup) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    zhufu* editor = form->blessingEditor();
    const QPoint start = editor->pos();
    CaptionDrag drag(*editor, QPoint(40, 8));
    // Away from the others first, then to 7 pixels from the screen's bottom edge.
    const int down = area.bottom() + 1 - 7 - (start.y() + editor->height());
    drag.moveBy(QPoint(60, down));
    drag.release(QPoint(60, down));
    EXPECT_EQ(editor->x(), start.x() + 60);
    EXPECT_EQ(editor->frameGeometry().bottom(), area.bottom());
    // The main window moves on its own now.
    const QPoint editorNow = editor->pos();
    CaptionDrag mainDrag(*form, QPoint(60, 10));
    mainDrag.moveBy(QPoint(0, -50));
    mainDrag.release(QPoint(0, -50));
    EXPECT_EQ(editor->pos(), editorNow);
}

TEST_F(MainFormTest, CloseBoxPressIsNoDrag) {
    const QPoint main = form->pos();
    CaptionDrag drag(*form, form->captionBar()->closeBoxRect().center());
    drag.moveBy(QPoint(40, 40));
    drag.release(QPoint(40, 40));
    EXPECT_EQ(form->pos(), main);
}

TEST_F(MainFormTest, GeneratingWritesACardThatHoldsTheBlessing) {
    const std::string movie = copySample("card.swf");
    answerOpenDialog(movie);
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    zhufu* editor = form->blessingEditor();
    editor->Text1()->selectAll();
    typeText(editor->Text1(), QStringLiteral("新年快乐"));
    QTest::keyClicks(editor->Text2(), QStringLiteral("mima"));

    bool success = false;
    const fs::path card = dir / "card.exe";
    expectSuccessMessage(success, card);
    click(form->Image1(GenerateButton));
    EXPECT_TRUE(success);

    ASSERT_TRUE(fs::exists(card));
    EXPECT_EQ(readAll(card).substr(0, cardformat::MovieOffset), readAll(dir / "Velmora.vmd"));
    const std::string extracted = cardformat::Exe2Swf(card.string());
    ASSERT_NE(extracted, cardformat::NoMovie);
    const cardformat::CardNote note = cardformat::getNote(extracted);
    fs::remove(extracted);
    EXPECT_EQ(note.Blessing, "新年快乐");
    EXPECT_EQ(note.Password, "mima");
    EXPECT_EQ(note.Author, "Ferlo"); // the sender and title fields were left empty
    EXPECT_EQ(note.Title, "云杉小径");
    EXPECT_EQ(note.Version, "1.0");
    EXPECT_EQ(cardformat::getNote(movie), note); // the note went into the movie as well
}

TEST_F(MainFormTest, ReadOnlyMovieIsRewrittenOnlyAfterYes) {
    const std::string movie = copySample("locked.swf");
    fs::permissions(movie,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    form->setSourcePath(movie);
    form->setOutputPath((dir / "locked.exe").string());
    bool told = false;
    whenModalDialogOpens([this, &told](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Trelvane"));
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        box->button(QMessageBox::No)->click();
        expectFailureMessage(told, QStringLiteral("只读"));
    });
    click(form->Image1(GenerateButton)); // no success message: the watchdog would close it
    EXPECT_TRUE(told);
    EXPECT_FALSE(fs::exists(dir / "locked.exe"));
    EXPECT_TRUE(cardformat::isReadOnly(movie));
}

TEST_F(MainFormTest, CardOntoTheMovieItselfIsRefusedAndTheMovieKept) {
    const std::string movie = copySample("self.swf");
    const std::string before = readAll(movie);
    form->setSourcePath(movie);
    form->setOutputPath(movie);
    bool told = false;
    expectFailureMessage(told, QStringLiteral("另选一个保存路径"));
    click(form->Image1(GenerateButton));
    EXPECT_TRUE(told);
    EXPECT_EQ(readAll(movie), before);
}

TEST_F(MainFormTest, EveryFailedGenerationSaysWhatHappened) {
    const std::string movie = copySample("m.swf");
    const std::string before = readAll(movie);
    struct Case {
        std::string source;
        std::string output;
        QString words;
    };
    fs::create_directories(dir / "text");
    { std::ofstream(dir / "text" / "notes.swf") << "just some text"; }
    const std::vector<Case> cases = {
        {"", (dir / "a.exe").string(), QStringLiteral("还没有选择动画")},
        {movie, "", QStringLiteral("还没有保存路径")},
        {movie, (dir / "no such folder" / "a.exe").string(),
         QString::fromStdString((dir / "no such folder").string())},
        {(dir / "gone.swf").string(), (dir / "a.exe").string(), QStringLiteral("找不到动画文件")},
        {(dir / "text" / "notes.swf").string(), (dir / "a.exe").string(),
         QStringLiteral("不是Flash动画")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words.toStdString());
        form->setSourcePath(c.source);
        form->setOutputPath(c.output);
        bool told = false;
        expectFailureMessage(told, c.words);
        click(form->Image1(GenerateButton));
        EXPECT_TRUE(told);
    }
    // Without its template the builder says where the template belongs; the log keeps its
    // record all the same.
    fs::remove(dir / "Velmora.vmd");
    form->setSourcePath(movie);
    form->setOutputPath((dir / "a.exe").string());
    bool told = false;
    expectFailureMessage(told, QStringLiteral("Velmora.vmd"));
    click(form->Image1(GenerateButton));
    EXPECT_TRUE(told);
    EXPECT_FALSE(fs::exists(dir / "a.exe"));
    EXPECT_EQ(readAll(movie), before);
    EXPECT_NE(readAll(dir / "Trelvane.log").find("Swf2Exe()"), std::string::npos);
}

TEST_F(MainFormTest, ReplacingAnExistingFileAsksFirst) {
    const std::string movie = copySample("m.swf");
    const fs::path other = dir / "other.exe";
    { std::ofstream(other) << "another program"; }
    form->setSourcePath(movie);
    form->setOutputPath(other.string());
    whenModalDialogOpens([](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Velmora"));
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        box->button(QMessageBox::No)->click();
    });
    click(form->Image1(GenerateButton));
    EXPECT_EQ(readAll(other), "another program");
}

TEST_F(MainFormTest, PreviewPaintsTheMoviesOwnBackground) {
    const std::string movie = copySample("colour.swf");
    const std::uint32_t colour = cardformat::getPlayedHeader(movie).background;
    ASSERT_NE(colour, 0u) << "the sample's stage is not black";
    answerOpenDialog(movie);
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    mc::MovieWidget& preview = form->preview()->ShockwaveFlash1();
    ASSERT_TRUE(preview.hasMovie());
    EXPECT_EQ(preview.BackgroundColor(), colour);
    // The letterbox beside a movie of another shape shows the movie's colour too.
    const QImage frame = preview.grabFrame();
    const QColor expected(static_cast<int>(colour >> 16), static_cast<int>((colour >> 8) & 0xFF),
                          static_cast<int>(colour & 0xFF));
    EXPECT_EQ(frame.pixelColor(0, 0), expected);
    EXPECT_EQ(frame.pixelColor(frame.width() - 1, frame.height() - 1), expected);
}

// The real-world movies beside the project: compressed ones become cards that carry them
// inflated, and the user's file stays as it was.
TEST_F(MainFormTest, RealCompressedMoviesBecomeCards) {
    const fs::path shared = fs::path(std::getenv("VELMORA_SOURCE_DIR")) / ".." / "shared";
    const std::vector<fs::path> movies = {shared / "realworld" / "movies" / "coffeefan__xmas.swf",
                                          shared / "swf-robustness" /
                                              "avm2__primitive_edge_cases__test.swf"};
    for (const fs::path& source : movies) {
        if (!fs::exists(source)) {
            GTEST_SKIP() << source << " is not beside the project";
        }
    }
    for (const fs::path& source : movies) {
        SCOPED_TRACE(source.string());
        const std::string original = readAll(source);
        ASSERT_TRUE(original.substr(0, 3) == "CWS" || original.substr(0, 3) == "ZWS");
        const fs::path movie = dir / source.filename();
        fs::copy_file(source, movie);
        answerOpenDialog(movie.string());
        const std::string before = form->blessing();
        QTest::mouseClick(form->Command1(), Qt::LeftButton);
        EXPECT_EQ(form->blessing(), before); // no note yet, and no "not a SWF file"
        form->setBlessing("贺卡的祝福");
        bool success = false;
        const fs::path card = dir / (source.stem().string() + ".exe");
        expectSuccessMessage(success, card);
        click(form->Image1(GenerateButton));
        EXPECT_TRUE(success);
        EXPECT_EQ(readAll(movie), original);
        const std::string extracted = cardformat::Exe2Swf(card.string());
        ASSERT_NE(extracted, cardformat::NoMovie);
        EXPECT_EQ(readAll(extracted).substr(0, 3), "FWS");
        EXPECT_EQ(cardformat::getNote(extracted).Blessing, "贺卡的祝福");
        fs::remove(extracted);
    }
}

TEST_F(MainFormTest, HelpButtonOpensThePageBesideTheProgram) {
    testing::UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    click(form->Label3(HelpButton));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.opened.size(), 1u);
    EXPECT_EQ(catcher.opened[0].toLocalFile().toStdString(),
              cardformat::fileBeside(cardformat::ownFolder(), "Velmora.htm"));
}

TEST_F(MainFormTest, ExitClosesTheCompanionsAndTheMainWindow) {
    click(form->Image1(ExitButton));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->preview(), nullptr);
    EXPECT_EQ(form->blessingEditor(), nullptr);
}

} // namespace
} // namespace builder
