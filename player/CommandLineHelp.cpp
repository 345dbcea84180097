#include "CommandLineHelp.h"

namespace player {
namespace {

constexpr const char* Usage =
    "用法：Velmora 动画文件.swf\n"
    "播放一个 Flash 动画（贺卡本身双击即可播放，不需要参数）。\n"
    "usage: Velmora MOVIE.swf\n"
    "  plays a Flash movie; a card plays itself and needs no argument.\n"
    "  --help      this text\n"
    "  --version   the player's version\n"
    "在动画上单击右键打开菜单。键盘：F11 全屏，全屏时 Esc 退出全屏，Ctrl+P 暂停/播放，\n"
    "Ctrl+左/右 上一帧/下一帧，Ctrl+M 静音/取消静音，Ctrl+Q 或 Ctrl+W 结束。\n";

} // namespace

std::optional<std::string> commandLineAnswer(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        return std::nullopt;
    }
    if (arguments[0] == "--help" || arguments[0] == "-h") {
        return std::string(Usage);
    }
    if (arguments[0] == "--version") {
        return std::string("Velmora ") + VELMORA_VERSION + "\n";
    }
    return std::nullopt;
}

} // namespace player
