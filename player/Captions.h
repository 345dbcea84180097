#pragma once

#include <string_view>

// The player's own texts, shown exactly as written here.
namespace player::captions {

inline constexpr std::string_view MessageTitle = "云杉小径";
inline constexpr std::string_view WindowTitle = "Velmora";

inline constexpr std::string_view DamagedCard = "\r\n        文件已经被破坏！    \r\n";
inline constexpr std::string_view MovieMissing = "找不到文件";
inline constexpr std::string_view NotFlashMovie = "文件不是Flash Movie 格式！";
inline constexpr std::string_view UnknownError = "未知错误！";
// What to do, on the line after the file's name.
inline constexpr std::string_view MissingHint = "请检查文件名和所在的文件夹是否正确。";
inline constexpr std::string_view NotFlashHint = "只能播放 Flash 动画（.swf 文件）或贺卡。";
inline constexpr std::string_view UnreadableHint = "文件无法读取，详情记在 Velmora.log 中。";
inline constexpr std::string_view NoMovieGiven =
    "没有给出要播放的动画。用法：Velmora 动画文件.swf（Velmora --help 查看说明）";
// Shown when the card's movie cannot be copied out (unreadable card, temporary folder not
// writable); the failure's own description follows on the next line.
inline constexpr std::string_view ExtractionFailed = "\r\n        无法取出贺卡中的动画！    \r\n";

// Before the sender's name under the blessing.
inline constexpr std::string_view SenderPrefix = "来自：";

inline constexpr std::string_view PasswordPrompt = "请输入观看密码：";
inline constexpr std::string_view PasswordTitle = "输入密码";
inline constexpr std::string_view PasswordDefault = "云杉小径";

// The popup menu, in display order.
inline constexpr std::string_view Popup = "popup";
inline constexpr std::string_view About = "祝福(&Z)";
inline constexpr std::string_view FullScreen = "全屏(&F)";
inline constexpr std::string_view Ctrl = "控制";
inline constexpr std::string_view Loop1 = "循环(&L)";
inline constexpr std::string_view PlayDesign = "播放(&P)";
inline constexpr std::string_view PlayWhilePlaying = "停止(&S)";
inline constexpr std::string_view PlayWhileStopped = "播放(&S)";
inline constexpr std::string_view Rewind = "重置(&R)";
inline constexpr std::string_view NextFrame = "下一帧(&F)";
inline constexpr std::string_view PreviousFrame = "上一帧(B)";
inline constexpr std::string_view ReturnPlayDesign = "云杉小径";
inline constexpr std::string_view ReturnPlayInCard = "播放原来的文件(&R)";
// "音量", the volume submenu with its items, is the movie surface's own (VolumeMenu).
inline constexpr std::string_view AuthorSite = "访问作者网站";
inline constexpr std::string_view Exit = "结束(&X)";

} // namespace player::captions
