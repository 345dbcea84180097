#include "GenerationMessages.h"

#include "CardGeneration.h"

#include "cardformat/ErrorLog.h"
#include "cardformat/Platform.h"

namespace builder {

std::string failureText(cardformat::CardOutcome outcome, const std::string& moviePath,
                        const std::string& cardPath) {
    using cardformat::CardOutcome;
    switch (outcome) {
    case CardOutcome::Made:
        return successText(cardPath);
    case CardOutcome::MovieMissing:
        return "找不到动画文件：\r\n" + moviePath + "\r\n请点“源文件”旁边的按钮重新选择动画。";
    case CardOutcome::NotAMovie:
        return "这个文件不是Flash动画（SWF文件）：\r\n" + moviePath + "\r\n请选择一个SWF动画。";
    case CardOutcome::MovieDoesNotInflate:
        return "这个压缩的Flash动画已经损坏，无法解压：\r\n" + moviePath + "\r\n请选择另一个动画。";
    case CardOutcome::CardIsSource:
        return "保存路径指向动画文件本身或播放器模板，贺卡会把它覆盖：\r\n" + cardPath +
               "\r\n请另选一个保存路径。";
    case CardOutcome::CardFolderMissing:
        return "保存路径所在的文件夹不存在：\r\n" + cardformat::folderOf(cardPath) +
               "\r\n请先建立这个文件夹，或另选一个保存路径。";
    case CardOutcome::TemplateMissing:
        return "找不到播放器模板 " + std::string(cardformat::TemplateFileName) +
               "，贺卡没有生成。\r\n它应当在本程序所在的文件夹里，请重新安装本程序。";
    case CardOutcome::NoteNotWritten:
        return "祝福没有写入动画文件，贺卡没有生成：\r\n" + moviePath +
               "\r\n如果这个文件是只读的，请允许修改后再试。";
    case CardOutcome::Failed:
        break;
    }
    return "生成贺卡时出错，贺卡没有生成：\r\n" + cardPath +
           "\r\n请确认磁盘有空间、可以写入这个位置后再试。详细情况记在错误日志里：\r\n" +
           cardformat::ErrorLog::path();
}

std::string noMovieChosenText() {
    return "还没有选择动画。\r\n请先点“源文件”旁边的按钮选择一个Flash动画。";
}

std::string noCardPathText() {
    return "还没有保存路径。\r\n请点“保存路径”旁边的按钮，选择贺卡保存的位置。";
}

std::string blessingTooLongText(std::uint64_t storedBytes) {
    return "祝福太长，贺卡装不下：最多 " + std::to_string(BlessingByteLimit) +
           " 个字节（大约一万六千个汉字），现在是 " + std::to_string(storedBytes) +
           " 个字节。\r\n请删减祝福后再生成贺卡。";
}

std::string noteTextsTooLongText(std::uint64_t storedBytes) {
    return "祝福、寄件人和标题合起来太长，贺卡装不下：最多 " + std::to_string(BlessingByteLimit) +
           " 个字节，现在是 " + std::to_string(storedBytes) +
           " 个字节。\r\n请删减祝福、寄件人或标题后再生成贺卡。";
}

std::string overwriteQuestion(const std::string& cardPath) {
    return "这个文件已经存在：\r\n" + cardPath + "\r\n要用新贺卡覆盖它吗？";
}

std::string successText(const std::string& cardPath) {
    return std::string(SuccessText) + "\r\n贺卡保存在：\r\n" + cardPath;
}

} // namespace builder
