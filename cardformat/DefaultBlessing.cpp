#include "DefaultBlessing.h"

namespace cardformat {

std::string_view defaultBlessingText() {
    // Blank-separated stanzas; the separator lines carry an ideographic space so that they
    // do not look empty in the editor.
    static constexpr std::string_view text = "云杉小径雪初晴， \r\n"
                                             "远方的你请听， \r\n"
                                             "一声问候寄深情。 \r\n"
                                             "\u3000 \r\n"
                                             "愿你晨起有暖阳， \r\n"
                                             "愿你夜归有灯光， \r\n"
                                             "愿你心中无烦恼， \r\n"
                                             "愿你身边常欢笑， \r\n"
                                             "愿你岁岁都安康。 \r\n"
                                             "\u3000 \r\n"
                                             "卡片虽小情意长，  \r\n"
                                             "千山万水寄心房，  \r\n"
                                             "今朝送上真祝福， \r\n"
                                             "明日再聚话家常， \r\n"
                                             "祝你快乐! \r\n";
    return text;
}

} // namespace cardformat
