// cardtool: the card format operations from a shell. Texts are UTF-8 on the command line
// and on output.
#include "Arguments.h"
#include "CardCommands.h"
#include "CommandHelp.h"
#ifdef CARDTOOL_HAS_COMPOSE
#include "ComposeCommand.h"
#endif

#include "cardformat/ErrorLog.h"
#include "cardformat/RemovalOnExit.h"

#ifdef CARDTOOL_HAS_RENDER
#include "BenchCommand.h"
#include "RenderCommand.h"
#include "TraceCommand.h"
#endif

#include <cstring>
#include <functional>
#include <iostream>
#include <map>

namespace {

constexpr const char* Usage = R"(usage: cardtool COMMAND ...
  header MOVIE [--json]              the movie's header facts
  note MOVIE [--json]                the card note behind the movie
  write-note MOVIE [--author A] [--password P] [--blessing B] [--version V] [--title T] [--yes]
                                     write a note into the movie; prints the title written
  make MOVIE CARD [--blessing TEXT | --blessing-file FILE] [--password P] [--template FILE] [--yes]
                                     make a card as the builder does
  extract CARD [--out FILE] [--yes]  copy the card's movie out (default NAME.swf beside the
                                     card); prints its path
  info CARD [--json]                 whether the file is a card, and its movie's header and note
  log [--program Velmora|Quenfold]   print a program's error log (default Quenfold's)
  render MOVIE --out PNG [--frames N] [--scale S] [--quality high|low] [--audio WAV]
         [--frame-budget MS]         draw the stage after N frames (with a budget, as the
                                     player does: costly effects give way past MS ms)
  bench MOVIE [--frames N] [--size WxH] [--json]
                                     play N frames (default the movie's length, at most 600)
                                     painted at WxH (default the stage's size) as the player
                                     paints them; prints load, first frame, median and slowest
                                     frame times in ms and the frames per second sustained
  trace MOVIE [--frames N] [--input FILE]
                                     play N frames headless, printing the scripts' trace();
                                     the input file's format: cardtool help trace
  help COMMAND                       more about one command
  compose --photo A.jpg [--photo B.heic ...] [--music SONG] [--title T] [--words TEXT | --words-file FILE]
          [--style NAME] [--size WxH|4:3|16:9|portrait] [--fps N] [--loop] [--fit fill|fit]
          [--length song|photos] [--music-start S] [--caption TEXT ...] [--font FAMILY]
          [--composition FILE] [--save FILE]
          (--out MOVIE.swf | --card CARD.exe [--blessing B] [--password P] [--yes])
                                     make a movie from photos, music and words; --styles lists
                                     the styles; --save keeps the choices to compose again
                                     with --composition
Exit status: 0 success, 1 the operation failed, 2 usage error.
)";

} // namespace

int main(int argc, char** argv) {
    cardformat::ErrorLog::configure("Trelvane.log");
    // Ctrl-C or a kill in the middle of a write leaves no half-written copy behind.
    cardformat::RemovalOnExit::removeOnSignals(cardformat::EndingSignals);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        (argc < 2 ? std::cerr : std::cout) << Usage;
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::cout << "cardtool " << VELMORA_VERSION << '\n';
        return 0;
    }
    const std::string command = argv[1];
    if (command == "help") {
        const std::string_view help = argc > 2 ? cardtool::commandHelp(argv[2]) : "";
        std::cout << (help.empty() ? std::string_view(Usage) : help);
        return 0;
    }
#ifdef CARDTOOL_HAS_RENDER
    if (command == "render") {
        return runRenderCommand(argc - 1, argv + 1);
    }
    if (command == "bench") {
        return runBenchCommand(argc - 1, argv + 1);
    }
    if (command == "trace") {
        return runTraceCommand(argc - 1, argv + 1);
    }
#endif
    using Command = std::function<int(const std::vector<std::string>&)>;
    const std::map<std::string, Command> commands = {
        {"header", cardtool::headerCommand},
        {"note", cardtool::noteCommand},
        {"write-note", cardtool::writeNoteCommand},
        {"make", cardtool::makeCommand},
        {"extract", cardtool::extractCommand},
        {"info", cardtool::infoCommand},
        {"log", cardtool::logCommand},
#ifdef CARDTOOL_HAS_COMPOSE
        {"compose", cardtool::composeCommand},
#endif
    };
    const auto it = commands.find(command);
    if (it == commands.end()) {
        std::cerr << "cardtool: unknown command " << command << "\n" << Usage;
        return 2;
    }
    try {
        return it->second(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const cardtool::UsageError& error) {
        std::cerr << "cardtool " << command << ": " << error.what() << "\n" << Usage;
        return 2;
    }
}
