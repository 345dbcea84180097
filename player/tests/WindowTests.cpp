// The real windows, offscreen: geometry on screen, the frames, the takeover of the movie's
// input, the popup menu and its commands, the blessing window and the end of the program.
#include "PlayerFakes.h"
#include "QtTestApp.h"

#include "cardformat/DefaultBlessing.h"
#include "player/Captions.h"
#include "player/Form1.h"
#include "player/QtPlayerPlatform.h"

#include "MovieWidget.h"
#include "cardformat/CardLayout.h"
#include "cardformat/Platform.h"
#include "moviemaker/SwfWriter.h"

#include "cardformat/NoteTrailer.h"
#include "scriptbudget/EndRequest.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <fstream>
#include <iterator>

namespace player::testing {
namespace {

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What the popup menu showed when it opened.
struct MenuSeen {
    QStringList items; // "name=caption", separators as "name=-"
    bool ctrlVisible = false;
    bool loopChecked = false;
    bool fullScreenChecked = false;
    QString playCaption;
};

class WindowTest : public PlayerFolderTest {
  protected:
    void SetUp() override {
        PlayerFolderTest::SetUp();
        testApp();
        world.executable = path("Velmora");
        writeFile(world.executable, Bytes(64, 0));
        form = std::make_unique<Form1>(world, WebAddresses{"https://home.example/", ""});
        form->form2().setMenuPresenter([this](QMenu& menu, QPoint) {
            menusOpened.push_back(seen(menu));
            if (!choice.isEmpty()) {
                QAction* chosen = form->form2().item(choice.toLatin1().constData());
                choice.clear();
                chosen->trigger();
            }
        });
    }

    void TearDown() override {
        // Ending stops every script of the process; the next test plays anew.
        scriptbudget::clearEndRequest();
        form.reset();
        PlayerFolderTest::TearDown();
    }

    static MenuSeen seen(QMenu& menu) {
        MenuSeen result;
        for (QAction* action : menu.actions()) {
            result.items << action->objectName() + "=" +
                                (action->isSeparator() ? QStringLiteral("-") : action->text());
            if (QMenu* sub = action->menu()) {
                for (QAction* inner : sub->actions()) {
                    result.items << "  " + inner->objectName() + "=" + inner->text();
                }
            }
        }
        Form2& menuForm = *static_cast<Form2*>(menu.parentWidget());
        result.ctrlVisible = menuForm.ctrl()->menuAction()->isVisible();
        result.loopChecked = menuForm.item("Loop1")->isChecked();
        result.fullScreenChecked = menuForm.item("FullScreen")->isChecked();
        result.playCaption = menuForm.item("play")->text();
        return result;
    }

    void startWith(std::uint16_t frames, std::int32_t width = 550, std::int32_t height = 400) {
        writeFile(path("m.swf"), movieWithNote({"A", "云杉小径", "T", "祝你快乐", "V"}, frames));
        if (width != 550 || height != 400) {
            writeFile(path("m.swf"), movieBytes(width, height, frames));
            world.answer = "未知";
        }
        world.arguments = path("m.swf");
        ASSERT_EQ(form->player().Form_Load(), StartUpOutcome::Running);
        QApplication::processEvents();
    }

    // Opens the menu with a right click on the movie and chooses an item, if any.
    void choose(const QString& item) {
        choice = item;
        QTest::mouseClick(form->ShockwaveFlash1(), Qt::RightButton, {}, QPoint(20, 20));
    }

    void wheel(int delta) {
        QWheelEvent event(QPointF(20, 20),
                          QPointF(form->ShockwaveFlash1()->mapToGlobal(QPoint(20, 20))), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form->ShockwaveFlash1(), &event);
    }

    FakePlayerWorld world;
    std::unique_ptr<Form1> form;
    std::vector<MenuSeen> menusOpened;
    QString choice;
};

TEST_F(WindowTest, DesignWindowIsBlackBorderlessAndSmall) {
    const Form1 fresh(world, {});
    EXPECT_TRUE(fresh.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(fresh.windowTitle(), "Velmora");
    EXPECT_EQ(fresh.geometry().size(), QSize(249, 117)); // 3735 x 1755 twips
    EXPECT_EQ(fresh.palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_FALSE(fresh.form2Loaded());
}

TEST_F(WindowTest, MovieWindowIsCentredWithControlAndFrames) {
    startWith(1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->geometry(), QRect(233, 180, 558, 408));
    EXPECT_EQ(form->ShockwaveFlash1()->geometry(), QRect(4, 4, 550, 400));
    EXPECT_EQ(form->ShockwaveFlash1()->Movie(), path("m.swf"));
    EXPECT_EQ(form->ShockwaveFlash1()->BackgroundColor(), 0x102030u);
    EXPECT_EQ(form->framePixels()[0], QRect(1, 1, 556, 406));
    EXPECT_EQ(form->framePixels()[2], QRect(3, 3, 552, 402));

    const QImage picture = form->grab().toImage();
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(picture.pixelColor(1, 1), QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(picture.pixelColor(2, 200), QColor(Qt::white));
    EXPECT_EQ(picture.pixelColor(3, 3), QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(picture.pixelColor(556, 407 - 1), QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(picture.pixelColor(555, 300), QColor(Qt::white));
    EXPECT_EQ(picture.pixelColor(557, 407), QColor(Qt::black));
    EXPECT_EQ(picture.pixelColor(200, 200), QColor(0x10, 0x20, 0x30));
}

TEST_F(WindowTest, TheBlessingAsPlainTextAndItsSenderLineReachTheMenuForm) {
    startWith(1); // a card from "A" titled "T"
    Form2& menuForm = form->form2();
    EXPECT_EQ(menuForm.Label2()->text(), QString::fromUtf8("祝你快乐"));
    EXPECT_FALSE(menuForm.isVisible());
    EXPECT_TRUE(menuForm.senderLine()->isVisibleTo(&menuForm));
    EXPECT_EQ(menuForm.senderLine()->text(), QString::fromUtf8("T　来自：A"));
    form->setSenderLine("");
    EXPECT_FALSE(menuForm.senderLine()->isVisibleTo(&menuForm));
    EXPECT_GE(menuForm.senderLine()->y(), menuForm.Label2()->parentWidget()->height());

    // A blessing is never markup; its lines are kept.
    form->setBlessingText("<b>第一行</b>\r\n第二行");
    EXPECT_EQ(menuForm.Label2()->textFormat(), Qt::PlainText);
    EXPECT_EQ(menuForm.Label2()->text(), QString::fromUtf8("<b>第一行</b>\n第二行"));
}

TEST_F(WindowTest, MenuItemsInOrderWithCaptionsAndDesignStates) {
    startWith(2);
    choose({});
    ASSERT_EQ(menusOpened.size(), 1u);
    const QStringList expected = {"About=祝福(&Z)",
                                  "step2=-",
                                  "FullScreen=全屏(&F)",
                                  "Ctrl=控制",
                                  "  Loop1=循环(&L)",
                                  "  play=停止(&S)",
                                  "  Rewind=重置(&R)",
                                  "  f=下一帧(&F)",
                                  "  b=上一帧(B)",
                                  "  ReturnPlay=云杉小径",
                                  "Volume=音量",
                                  "  Mute=静音",
                                  "  =",
                                  "  Volume100=100%",
                                  "  Volume75=75%",
                                  "  Volume50=50%",
                                  "  Volume25=25%",
                                  "s6=-",
                                  "zuozhewangzhan=访问作者网站",
                                  "Exit=结束(&X)"};
    EXPECT_EQ(menusOpened[0].items, expected);
    EXPECT_TRUE(menusOpened[0].ctrlVisible);
    EXPECT_TRUE(menusOpened[0].loopChecked);
    EXPECT_FALSE(menusOpened[0].fullScreenChecked);
    EXPECT_EQ(menusOpened[0].playCaption, qtext(captions::PlayWhilePlaying));
    Form2& menuForm = form->form2();
    EXPECT_FALSE(menuForm.item("ReturnPlay")->isVisible());
    EXPECT_FALSE(menuForm.returnPlayEnabled());
    EXPECT_EQ(menuForm.popup()->title(), "popup");
}

TEST_F(WindowTest, LoopAndPlayCommandsReachTheControl) {
    startWith(2);
    mc::MovieWidget& movie = *form->ShockwaveFlash1();
    choose("Loop1");
    EXPECT_FALSE(movie.Loop());
    choose("Loop1");
    EXPECT_TRUE(movie.Loop());
    choose("play");
    EXPECT_FALSE(movie.Playing());
    choose({});
    EXPECT_EQ(menusOpened.back().playCaption, qtext(captions::PlayWhileStopped));
    EXPECT_TRUE(menusOpened.back().loopChecked);

    choose("f");
    EXPECT_EQ(movie.currentFrame(), 1u);
    choose("b");
    EXPECT_EQ(movie.currentFrame(), 0u);
    choose("f");
    choose("Rewind");
    EXPECT_EQ(movie.currentFrame(), 0u);
    choose("play");
    EXPECT_TRUE(movie.Playing());
}

// The volume menu itself is the movie widget's; here, that its items reach the control through
// the player and that the marks come from the control each time the menu opens.
TEST_F(WindowTest, TheVolumeSubmenuReachesTheControlAndShowsItsLevel) {
    startWith(1);
    mc::MovieWidget& movie = *form->ShockwaveFlash1();
    Form2& menuForm = form->form2();
    choose("Volume50");
    EXPECT_EQ(movie.volume(), 50);
    choose("Mute");
    EXPECT_TRUE(movie.muted());
    EXPECT_EQ(movie.volume(), 50); // the unmute comes back to it
    movie.setVolume(25);
    choose({});
    EXPECT_FALSE(menusOpened.back().ctrlVisible); // one frame: nothing to control
    EXPECT_TRUE(menuForm.item("Mute")->isChecked());
    EXPECT_TRUE(menuForm.item("Volume25")->isChecked());
    EXPECT_FALSE(menuForm.item("Volume50")->isChecked());
}

TEST_F(WindowTest, RightPressOpensOneMenuAndNeverTheControlsOwn) {
    startWith(2);
    QTest::mousePress(form->ShockwaveFlash1(), Qt::RightButton, {}, QPoint(30, 30));
    QTest::mouseRelease(form->ShockwaveFlash1(), Qt::RightButton, {}, QPoint(30, 30));
    EXPECT_EQ(menusOpened.size(), 1u);
    for (QMenu* own : form->ShockwaveFlash1()->findChildren<QMenu*>()) {
        EXPECT_FALSE(own->isVisible());
    }
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(form->ShockwaveFlash1(), &keyboard);
    EXPECT_EQ(menusOpened.size(), 2u);
}

TEST_F(WindowTest, TakeoverIsInstalledOnceAndRemovedCleanly) {
    startWith(2);
    FlashWindowHook& hook = form->flashHook();
    EXPECT_EQ(hook.FlashHwnd(), form->ShockwaveFlash1());
    EXPECT_EQ(GetWindowClass(hook.FlashHwnd()), "mc::MovieWidget");
    form->hookFlashWindow();
    hook.HookFlashWindow(form.get());
    EXPECT_EQ(hook.FlashHwnd(), form->ShockwaveFlash1());
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(form->ShockwaveFlash1(), &keyboard);
    EXPECT_EQ(menusOpened.size(), 1u);

    form->unhookFlashWindow();
    form->unhookFlashWindow();
    QApplication::sendEvent(form->ShockwaveFlash1(), &keyboard);
    EXPECT_EQ(menusOpened.size(), 1u); // now the control's own menu
    bool ownMenuShown = false;
    for (QMenu* own : form->ShockwaveFlash1()->findChildren<QMenu*>()) {
        ownMenuShown = ownMenuShown || own->isVisible();
        own->close();
    }
    EXPECT_TRUE(ownMenuShown);
}

TEST_F(WindowTest, FullScreenOnAndOffThroughTheMenu) {
    world.screen = {15360, 11520};
    startWith(2);
    choose("FullScreen");
    EXPECT_EQ(form->geometry(), QRect(0, 0, 1024, 768));
    EXPECT_EQ(form->ShockwaveFlash1()->geometry(), QRect(4, 4, 1014, 758));
    choose({});
    EXPECT_TRUE(menusOpened.back().fullScreenChecked);

    choose("FullScreen");
    EXPECT_EQ(form->geometry(), QRect(232, 179, 560, 410));
    EXPECT_EQ(form->ShockwaveFlash1()->geometry(), QRect(4, 4, 550, 400));
    choose({});
    EXPECT_FALSE(menusOpened.back().fullScreenChecked);
}

TEST_F(WindowTest, TheSpaceBesideTheMovieTakesItsBackgroundColour) {
    world.screen = {15360, 11520};
    startWith(2);
    const QColor movieColour(0x10, 0x20, 0x30);
    const auto besideTheMovie = [this] {
        // The movie is fitted whole into the control: the rest of the control is beside it.
        const QImage control = form->ShockwaveFlash1()->grab().toImage();
        return std::vector<QColor>{control.pixelColor(1, 1),
                                   control.pixelColor(control.width() - 2, control.height() - 2),
                                   control.pixelColor(control.width() / 2, 1)};
    };
    choose("FullScreen");
    for (const QColor& colour : besideTheMovie()) {
        EXPECT_EQ(colour, movieColour);
    }
    choose("FullScreen");
    wheel(-120); // 500 twips on both sides: no longer the movie's proportions
    for (const QColor& colour : besideTheMovie()) {
        EXPECT_EQ(colour, movieColour);
    }
}

TEST_F(WindowTest, ThePlayersKeysAndOnlyThemAreTakenFromTheMovie) {
    world.screen = {15360, 11520};
    startWith(3);
    mc::MovieWidget* movie = form->ShockwaveFlash1();
    const auto press = [movie](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        const bool taken = !QApplication::sendEvent(movie, &down) || down.isAccepted();
        QKeyEvent up(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(movie, &up);
        return taken;
    };
    const QRect window = form->geometry();
    press(Qt::Key_Escape); // not full screen: the movie's
    EXPECT_EQ(form->geometry(), window);
    press(Qt::Key_F11);
    EXPECT_EQ(form->geometry(), QRect(0, 0, 1024, 768));
    press(Qt::Key_Escape);
    EXPECT_NE(form->geometry(), QRect(0, 0, 1024, 768));
    EXPECT_EQ(form->player().state().FullScreenOn, FlagFalse);

    ASSERT_TRUE(movie->Playing());
    press(Qt::Key_P); // a letter for the movie
    EXPECT_TRUE(movie->Playing());
    press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(movie->Playing());
    const std::uint32_t frame = movie->currentFrame();
    press(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(movie->currentFrame(), frame + 1);
    press(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(movie->currentFrame(), frame);
    press(Qt::Key_M); // a letter for the movie
    EXPECT_FALSE(movie->muted());
    EXPECT_TRUE(press(Qt::Key_M, Qt::ControlModifier));
    EXPECT_TRUE(movie->muted());
    press(Qt::Key_M, Qt::ControlModifier);
    EXPECT_FALSE(movie->muted());

    // The keys stand beside their commands in the menu.
    EXPECT_EQ(form->form2().item("FullScreen")->shortcut(), QKeySequence(Qt::Key_F11));
    EXPECT_EQ(form->form2().item("Exit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(form->form2().item("Mute")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));

    // Ctrl+Q ends as "结束(&X)" does: the end page, then the end sequence.
    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(world.addresses, std::vector<std::string>{"https://home.example/"});
    QTest::qWait(250);
    EXPECT_TRUE(world.ended);
}

TEST_F(WindowTest, WheelStepsGrowAndShrinkTheWindow) {
    startWith(1);
    const QPoint corner = form->geometry().topLeft();
    wheel(-120);
    EXPECT_EQ(form->geometry(), QRect(corner, QSize(591, 441))); // 8870 x 6620 twips
    EXPECT_EQ(form->ShockwaveFlash1()->geometry().size(), QSize(583, 433));
    wheel(-120);
    wheel(120);
    wheel(360);
    EXPECT_EQ(form->geometry(), QRect(corner, QSize(558, 408)));
    EXPECT_EQ(form->player().geometry().window().width, 8370);
}

TEST_F(WindowTest, LeftDragMovesTheWindowExceptInFullScreen) {
    startWith(1);
    const QPoint start = form->geometry().topLeft();
    mc::MovieWidget* movie = form->ShockwaveFlash1();
    QTest::mousePress(movie, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(movie, QPoint(60, 40));
    QTest::mouseRelease(movie, Qt::LeftButton, {}, movie->mapFromGlobal(QCursor::pos()));
    EXPECT_EQ(form->geometry().topLeft(), start + QPoint(50, 30));
    // The zoom keeps the corner where the drag left it.
    wheel(-120);
    EXPECT_EQ(form->geometry().topLeft(), start + QPoint(50, 30));

    choose("FullScreen");
    QTest::mousePress(movie, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(movie, QPoint(60, 40));
    QTest::mouseRelease(movie, Qt::LeftButton, {}, QPoint(60, 40));
    EXPECT_EQ(form->geometry().topLeft(), QPoint(0, 0));
}

// A movie stopped on its first frame under a button as large as its stage, whose release
// goes to the second frame.
Bytes buttonMovieBytes() {
    moviemaker::MovieHeader header;
    header.version = 8;
    moviemaker::SwfWriter movie(header);
    moviemaker::Shape box;
    box.fill1(box.addFill(moviemaker::FillStyle::solid({255, 0, 0, 255})))
        .rectangle(0, 0, 11000, 8000);
    moviemaker::Button button;
    button.records = {{0x0F, movie.defineShape(box), 1, {}, {}}};
    button.conditions = {{0x0008, moviemaker::Actions().gotoFrame(1)}};
    movie.place(movie.defineButton2(button), 1);
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    movie.showFrame();
    return movie.finish();
}

TEST_F(WindowTest, ClickReachesTheMoviesButtonAndADragFromItMovesTheWindowInstead) {
    writeFile(path("m.swf"), buttonMovieBytes());
    world.answer = "未知";
    world.arguments = path("m.swf");
    ASSERT_EQ(form->player().Form_Load(), StartUpOutcome::Running);
    QApplication::processEvents();
    mc::MovieWidget* movie = form->ShockwaveFlash1();
    const QPoint start = form->geometry().topLeft();
    QTest::mousePress(movie, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(movie, QPoint(60, 40));
    QTest::mouseRelease(movie, Qt::LeftButton, {}, movie->mapFromGlobal(QCursor::pos()));
    EXPECT_EQ(form->geometry().topLeft(), start + QPoint(50, 30));
    EXPECT_EQ(movie->currentFrame(), 0u);
    QTest::mouseClick(movie, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(movie->currentFrame(), 1u);
    EXPECT_EQ(form->geometry().topLeft(), start + QPoint(50, 30));
}

TEST_F(WindowTest, BlessingWindowShowsAndHidesOnAnyButton) {
    startWith(1);
    choose("About");
    Form2& blessing = form->form2();
    ASSERT_TRUE(blessing.isVisible());
    EXPECT_EQ(blessing.size(), QSize(433, 324));
    EXPECT_TRUE(blessing.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(blessing.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(blessing.blessingScroll()->geometry(), QRect(16, 56, 401, 201));
    EXPECT_EQ(blessing.Label2()->mapTo(&blessing, QPoint(0, 0)), QPoint(16, 56));
    EXPECT_EQ(blessing.Label2()->palette().color(QPalette::WindowText), QColor(192, 192, 0));
    EXPECT_EQ(blessing.Image1()->geometry(), QRect(420, 0, 11, 11));

    choose("About");
    EXPECT_TRUE(blessing.isVisible());
    QTest::mousePress(blessing.Image1(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(blessing.isVisible());
    choose("About");
    EXPECT_TRUE(blessing.isVisible());
    QTest::mousePress(blessing.Image1(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(blessing.isVisible());
    EXPECT_TRUE(form->ShockwaveFlash1()->Playing());
}

TEST_F(WindowTest, ALongBlessingScrollsInsideTheLabelsPlace) {
    testApp();
    Form2& blessing = form->form2();
    QScrollBar* bar = blessing.blessingScroll()->verticalScrollBar();
    // The default poem fits: no scroll bar.
    blessing.showBlessingWindow();
    QApplication::processEvents();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(blessing.Label2()->width(), 401);

    QString lines;
    for (int i = 1; i <= 40; ++i) {
        lines += QStringLiteral("第%1行祝福\r\n").arg(i);
    }
    form->setBlessingText(lines.toStdString());
    QApplication::processEvents();
    EXPECT_EQ(blessing.size(), QSize(433, 324)); // the window keeps its size
    EXPECT_EQ(blessing.blessingScroll()->geometry(), QRect(16, 56, 401, 201));
    ASSERT_TRUE(bar->isVisible());
    // The label holds all forty lines at the fixed pitch, beside the scroll bar.
    EXPECT_GE(blessing.Label2()->height(), 40 * Form2::BlessingLinePitch);
    EXPECT_EQ(blessing.Label2()->width() + bar->width(), 401);
    EXPECT_EQ(bar->value(), 0);

    // The wheel scrolls, down to the last line.
    QWheelEvent wheel(QPointF(100, 100), blessing.Label2()->mapToGlobal(QPointF(100, 100)),
                      QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(blessing.blessingScroll()->viewport(), &wheel);
    EXPECT_GT(bar->value(), 0);
    bar->setValue(bar->maximum());
    const QImage shown = blessing.grab().toImage();
    const QImage bottom = shown.copy(16, 56 + 201 - 20, 300, 20);
    bool drawn = false;
    for (int y = 0; y < bottom.height() && !drawn; ++y) {
        for (int x = 0; x < bottom.width() && !drawn; ++x) {
            drawn = bottom.pixelColor(x, y) == QColor(192, 192, 0);
        }
    }
    EXPECT_TRUE(drawn) << "the last lines are drawn at the bottom of the label";

    // A short one again: the bar goes.
    form->setBlessingText("短");
    QApplication::processEvents();
    EXPECT_FALSE(bar->isVisible());
    // The default poem, as a card carries it, fits without one.
    form->setBlessingText(cardformat::defaultBlessingText());
    QApplication::processEvents();
    EXPECT_FALSE(bar->isVisible()) << blessing.Label2()->height() << " " << bar->maximum();
}

TEST_F(WindowTest, ThePasswordBoxMasksWhatIsTyped) {
    testApp();
    QtPlayerPlatform platform({});
    bool seen = false;
    QTimer::singleShot(50, [&seen] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->textEchoMode(), QLineEdit::Password);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("输入密码"));
        box->setTextValue(QStringLiteral("秘密"));
        seen = true;
        box->accept();
    });
    EXPECT_EQ(platform.passwordBox(captions::PasswordPrompt, captions::PasswordTitle,
                                   captions::PasswordDefault),
              "秘密");
    EXPECT_TRUE(seen);
}

TEST_F(WindowTest, CardShowsItsMovieBeforeTheMenuFormLoadsWithWhatStartUpSetOnIt) {
    world.executable = path("card");
    writeFile(world.executable,
              cardBytes(movieWithNote({"A", "云杉小径", "T", "第一行\r\n第二行", "V"}, 2)));
    Form1 card(world, {});
    ASSERT_EQ(card.player().Form_Load(), StartUpOutcome::Running);
    card.show();
    QApplication::processEvents();
    EXPECT_EQ(card.ShockwaveFlash1()->grab().toImage().pixelColor(200, 200),
              QColor(0x10, 0x20, 0x30));
    EXPECT_FALSE(card.form2Loaded());

    Form2& menuForm = card.form2();
    EXPECT_TRUE(menuForm.returnPlayEnabled());
    EXPECT_EQ(menuForm.item("ReturnPlay")->text(), qtext(captions::ReturnPlayInCard));
    EXPECT_FALSE(menuForm.item("ReturnPlay")->isVisible());
    EXPECT_EQ(menuForm.Label2()->text(), QString::fromUtf8("第一行\n第二行"));
    // Once loaded, what the player sets goes straight to it.
    card.setBlessingText("后来");
    EXPECT_EQ(menuForm.Label2()->text(), QString::fromUtf8("后来"));
}

TEST_F(WindowTest, ExitOpensTheHomePageAndEndsOnTheTimerTick) {
    world.executable = path("card");
    writeFile(world.executable, cardBytes(movieWithNote({"A", "云杉小径", "T", "B", "V"}, 2)));
    ASSERT_EQ(form->player().Form_Load(), StartUpOutcome::Running);
    ASSERT_EQ(temporaryFiles().size(), 1u);

    choose("Exit");
    EXPECT_EQ(world.addresses, std::vector<std::string>{"https://home.example/"});
    EXPECT_FALSE(world.ended);
    EXPECT_TRUE(form->form2().Timer1().isActive());
    EXPECT_EQ(form->form2().Timer1().interval(), 100);
    EXPECT_FALSE(scriptbudget::endRequested());
    EXPECT_TRUE(QTest::qWaitFor([this] { return world.ended; }, 2000));
    // The end stops the movie's scripts first, whatever they are doing.
    EXPECT_TRUE(scriptbudget::endRequested());
    EXPECT_TRUE(temporaryFiles().empty());
    EXPECT_FALSE(form->form2().Timer1().isActive());
    // The takeover went first: input reaches the control's own handling again.
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
    const std::size_t before = menusOpened.size();
    QApplication::sendEvent(form->ShockwaveFlash1(), &keyboard);
    EXPECT_EQ(menusOpened.size(), before);
    for (QMenu* own : form->ShockwaveFlash1()->findChildren<QMenu*>()) {
        own->close();
    }
}

TEST_F(WindowTest, ClosingTheWindowRunsTheEndSequence) {
    world.executable = path("card");
    writeFile(world.executable, cardBytes(movieWithNote({"A", "云杉小径", "T", "B", "V"}, 2)));
    ASSERT_EQ(form->player().Form_Load(), StartUpOutcome::Running);
    ASSERT_EQ(temporaryFiles().size(), 1u);
    form->close();
    EXPECT_TRUE(world.ended);
    EXPECT_TRUE(scriptbudget::endRequested());
    EXPECT_TRUE(temporaryFiles().empty());
    EXPECT_TRUE(cardformat::fileExists(world.executable));
}

// The three windows as a person sees them; saved as PNG files when VELMORA_SCREENSHOT_DIR
// names a folder, so that they can be looked at.
TEST_F(WindowTest, ScreenshotsOfPlaybackMenuAndBlessing) {
    const char* source = std::getenv("VELMORA_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    Bytes movie = readBytes(std::string(source) + "/samples/greeting.swf");
    ASSERT_FALSE(movie.empty());
    const Bytes note = cardformat::encodeNoteTrailer(
        {"Ferlo", "云杉小径", "T", std::string(cardformat::defaultBlessingText()), "1.0"});
    movie.insert(movie.end(), note.begin(), note.end());
    writeFile(path("greeting.swf"), movie);
    world.arguments = path("greeting.swf");
    ASSERT_EQ(form->player().Form_Load(), StartUpOutcome::Running);
    for (int ms = 0; ms <= 4000; ms += 40) {
        form->ShockwaveFlash1()->tickAt(ms);
    }
    const QImage playback = form->grab().toImage();
    EXPECT_EQ(playback.size(), QSize(558, 408));

    QImage menuPicture;
    form->form2().setMenuPresenter([&menuPicture](QMenu& menu, QPoint at) {
        menu.popup(at);
        QApplication::processEvents();
        menuPicture = menu.grab().toImage();
        menu.close();
    });
    QTest::mouseClick(form->ShockwaveFlash1(), Qt::RightButton, {}, QPoint(100, 100));
    ASSERT_FALSE(menuPicture.isNull());

    form->form2().showBlessingWindow();
    const QImage blessing = form->form2().grab().toImage();
    EXPECT_EQ(blessing.size(), QSize(433, 324));
    // The close mark's centre is red, the ground behind the text dark.
    const QColor mark = blessing.pixelColor(425, 5);
    EXPECT_GT(mark.red(), 150);
    EXPECT_LT(mark.green(), 80);
    EXPECT_LT(blessing.pixelColor(400, 250).lightness(), 100);

    if (const char* folder = std::getenv("VELMORA_SCREENSHOT_DIR")) {
        const QString base = QString::fromLocal8Bit(folder) + "/";
        EXPECT_TRUE(playback.save(base + "velmora-playback.png"));
        EXPECT_TRUE(menuPicture.save(base + "velmora-menu.png"));
        EXPECT_TRUE(blessing.save(base + "velmora-blessing.png"));
    }
}

} // namespace
} // namespace player::testing
