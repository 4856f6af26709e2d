#include "TemplateFiles.h"

#include <fstream>
#include <vector>

namespace tplfiles {

std::string Template(const std::string& root, const std::string& eol, int fileManage)
{
    std::string times = fileManage == 2 || fileManage == 3
                            ? " StartTimeHour=\"8\" StartTimeMinute=\"30\" StartTimeSecond=\"0\" EndTimeHour=\"18\""
                              " EndTimeMinute=\"45\" EndTimeSecond=\"15\""
                            : "";
    const std::vector<std::string> lines = {
        "<" + root + ">",
        "    <VideoColor enable=\"1\">",
        "        <Channel id=\"1\" ColorMode=\"2\" Brightness=\"60\" Contrast=\"55\" Hue=\"40\" Saturation=\"70\" />",
        "    </VideoColor>",
        "    <BLCMode enable=\"1\">",
        "        <Channel id=\"1\" Backlight=\"2\" WideDynamicRange=\"80\" GlareInhibition=\"0\" />",
        "    </BLCMode>",
        "    <DayNightMode enable=\"1\">",
        "        <Channel id=\"1\" DayNight=\"1\" />",
        "    </DayNightMode>",
        "    <FileManageMode enable=\"1\">",
        "        <Channel id=\"1\" FileManage=\"" + std::to_string(fileManage) + "\"" + times + " />",
        "    </FileManageMode>",
        "    <Encode enable=\"1\">",
        "        <Channel id=\"1\" MStreamNType=\"0\" MStreamNFrameRate=\"25\" MStreamNBitRateControl=\"1\""
        " MStreamNImageQuality=\"4\" MStreamNBitRate=\"4096\" MStreamNCodeMode=\"H.264H\" MStreamNHeight=\"1080\""
        " MStreamNWidth=\"1920\" MVideoStandard=\"0\" MAudioEnable=\"1\" MAudioEncode=\"G.711A\" EStreamMEnable=\"1\""
        " EStreamNType=\"0\" EStreamNFrameRate=\"15\" EStreamNBitRateControl=\"0\" EStreamNImageQuality=\"3\""
        " EStreamNBitRate=\"512\" EStreamNCodeMode=\"MJPG\" EStreamNHeight=\"288\" EStreamNWidth=\"352\""
        " EVideoStandard=\"1\" EAudioEnable=\"0\" EAudioEncode=\"AAC\" />",
        "    </Encode>",
        "    <PcSyn />",
        "</" + root + ">",
    };
    std::string text;
    for (const std::string& line : lines)
        text += line + eol;
    return text;
}

std::string WithoutSection(std::string text, const std::string& section)
{
    const size_t begin = text.find("    <" + section);
    if (begin == std::string::npos)
        return text;
    const std::string close = "</" + section + ">";
    size_t end = text.find(close, begin);
    end = end == std::string::npos ? text.find('\n', begin) : text.find('\n', end);
    text.erase(begin, end + 1 - begin);
    return text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

std::string Folder::Path(const std::string& name) const
{
    return m_dir.path().toStdString() + "/" + name;
}

std::string Folder::Write(const std::string& name, const std::string& text) const
{
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

} // namespace tplfiles
