#include "profiles/outputprofile.h"

#include <algorithm>
#include <iterator>

std::atomic<bool> g_bMp4Mux{false};
std::atomic<bool> g_bH264Video{false};
std::atomic<bool> g_bPspThumb{false};
std::atomic<bool> g_b3gpPass{false};

namespace {

using List = const char *const[];

constexpr List kMpgSizes = {"128x96",  "176x144", "352x240", "352x288", "480x272", "480x480",
                            "480x576", "640x480", "704x576", "720x480", "720x576"};
constexpr List kAviSizes = {"160x112", "176x144", "220x176", "320x240", "352x240",
                            "352x288", "368x208", "480x272", "480x320", "480x480",
                            "480x576", "512x384", "640x480", "720x480", "720x576"};
constexpr List kRmSizes = {"160x112", "176x144", "208x176", "220x176", "320x240", "352x240",
                           "368x208", "480x272", "480x320", "480x576", "640x480", "720x480"};
constexpr List k3gpSizes = {"128x96", "176x144", "352x288", "704x576"};
constexpr List kMp4Sizes = {"128x96",  "160x120", "176x144", "220x176", "320x240",
                            "352x288", "480x320", "640x480", "720x480"};
constexpr List kFlvSizes = {"176x144", "220x176", "320x240", "640x480"};
constexpr List kPspSizes = {"160x112", "320x240", "360x208", "480x272", "720x480"};
constexpr List kPs3Sizes = {"1280x720", "480x272", "720x480"};
constexpr List kNanoSizes = {"320x240", "480x270", "640x480", "720x405"};
constexpr List kIphoneSizes = {"320x240", "480x270", "480x320", "640x480", "720x405"};

constexpr List kMpgBitrates = {"256", "512", "768", "1000", "1152", "1500"};
constexpr List kAviBitrates = {"64",  "96",  "112", "128",  "160",  "192", "256",
                               "384", "512", "768", "1000", "5000", "8000"};
constexpr List k3gpBitrates = {"48", "64", "96", "112", "128", "160", "192", "256", "384", "512"};
constexpr List kMp4Bitrates = {"48", "64", "96", "112", "128", "192", "256", "384", "512"};
constexpr List kFlvBitrates = {"192", "216", "256", "384", "512", "768", "1000", "1500"};
constexpr List kDeviceBitrates = {"256", "512", "768", "1000", "1500"};
constexpr List kIphoneBitrates = {"256", "512", "768", "1000", "1200", "1500", "2500"};

constexpr List kMpgRates = {"25", "29.970"};
constexpr List kAviRates = {"10", "12", "15", "25", "29.970"};
constexpr List kRmRates = {"10", "12", "15", "25", "30"};
constexpr List k3gpRates = {"10", "12", "15", "25"};
constexpr List kMp4Rates = {"10", "12", "15", "25", "30"};
constexpr List kFlvRates = {"10", "12", "15", "25"};
constexpr List kPspRates = {"14.985", "29.970"};
constexpr List kPs3Rates = {"23.976"};
constexpr List kNanoRates = {"15", "25", "29.970"};
constexpr List kIphoneRates = {"15", "25", "30"};

using enum FlagValue;

// clang-format off
const OutputProfile kProfiles[] = {
    {OUT_MPG, 1022, "mpg", "MPEG视频 (*.MPG)", "mpg", kMpgSizes, kMpgBitrates, kMpgRates,
     "352x240", "1152", "25", false, Unchanged, false, false, true, 0},
    {OUT_AVI, 1029, "avi", "AVI视频 (*.AVI)", "avi", kAviSizes, kAviBitrates, kAviRates,
     "320x240", "768", "25", false, Unchanged, false, false, true, 0},
    {OUT_RM, 1030, "rm", "RM视频 (*.RM)", "rm", kRmSizes, kAviBitrates, kRmRates,
     "320x240", "768", "15", false, Unchanged, false, false, false, 0},
    {OUT_3GP, 1020, "3gp", "手机视频 (*.3GP)", "3gp", k3gpSizes, k3gpBitrates, k3gpRates,
     "176x144", "64", "15", false, Unchanged, false, true, true, 0},
    {OUT_MP4, 1021, "mp4", "手机视频 (*.MP4)", "mp4", kMp4Sizes, kMp4Bitrates, kMp4Rates,
     "320x240", "128", "15", true, Off, false, false, true, 128},
    {OUT_FLV, 1019, "flv", "Flash视频 (*.FLV)", "flv", kFlvSizes, kFlvBitrates, kFlvRates,
     "320x240", "384", "25", false, Unchanged, false, false, true, 0},
    {OUT_PSP, 1017, "psp", "Sony PSP视频 (*.MP4)", "mp4", kPspSizes, kDeviceBitrates, kPspRates,
     "480x272", "512", "29.970", false, Unchanged, true, false, true, 64},
    {OUT_PS3, 1018, "ps3", "Sony PS3视频 (*.MP4)", "mp4", kPs3Sizes, kDeviceBitrates, kPs3Rates,
     "720x480", "512", "23.976", true, On, false, false, true, 96},
    {OUT_IPOD_NANO, 1016, "ipod-nano", "iPod Nano Video (*.MP4)", "mp4", kNanoSizes,
     kDeviceBitrates, kNanoRates, "320x240", "512", "25", true, Off, false, false, true, 64},
    {OUT_IPHONE, 1015, "iphone", "iPhone | iPod touch (*.MP4)", "mp4", kIphoneSizes,
     kIphoneBitrates, kIphoneRates, "320x240", "512", "25", true, On, false, false, true, 128},
};
// clang-format on
static_assert(std::size(kProfiles) == kOutputTypeCount, "one row per output type");

QStringList toStringList(std::span<const char *const> texts)
{
    QStringList list;
    list.reserve(qsizetype(texts.size()));
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

QString entryAt(const QStringList &list, int index)
{
    return index >= 0 && index < list.size() ? list.at(index) : QString();
}

} // namespace

std::span<const OutputProfile> OutputProfiles() { return kProfiles; }

const OutputProfile &ProfileOf(OutputType type) { return kProfiles[type]; }

std::optional<OutputType> OutputTypeFromCliName(const QString &name)
{
    for (const OutputProfile &profile : kProfiles)
        if (name == QLatin1String(profile.cliName))
            return profile.type;
    return std::nullopt;
}

QStringList SortedAsFrameSizeBox(QStringList sizes)
{
    std::sort(sizes.begin(), sizes.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    return sizes;
}

void ApplyOutputProfile(OutputPanel &panel, OutputType type)
{
    const OutputProfile &profile = ProfileOf(type);
    g_bMp4Mux = profile.mp4Mux;
    if (profile.h264Video != FlagValue::Unchanged)
        g_bH264Video = profile.h264Video == FlagValue::On;
    g_bPspThumb = profile.pspThumb;
    g_b3gpPass = profile.threeGpPass;

    panel.type = type;
    panel.formatLabel = QString::fromUtf8(profile.formatText);
    panel.frameSizes = SortedAsFrameSizeBox(toStringList(profile.frameSizes));
    panel.bitrates = toStringList(profile.bitrates);
    panel.frameRates = toStringList(profile.frameRates);
    panel.frameSizeIndex = int(panel.frameSizes.indexOf(QString::fromUtf8(profile.defaultFrameSize)));
    panel.bitrateIndex = int(panel.bitrates.indexOf(QString::fromUtf8(profile.defaultBitrate)));
    panel.frameRateIndex = int(panel.frameRates.indexOf(QString::fromUtf8(profile.defaultFrameRate)));
    panel.frameSizeLabel = entryAt(panel.frameSizes, panel.frameSizeIndex);
    panel.bitrateLabel = entryAt(panel.bitrates, panel.bitrateIndex);
    panel.frameRateLabel = entryAt(panel.frameRates, panel.frameRateIndex);
}

void OnSelchangeResolution(OutputPanel &panel, int index)
{
    panel.frameSizeIndex = index;
    panel.frameSizeLabel = entryAt(panel.frameSizes, index);
}

void OnSelchangeBitrate(OutputPanel &panel, int index)
{
    panel.bitrateIndex = index;
    panel.bitrateLabel = entryAt(panel.bitrates, index);
}

void OnSelchangeFrameRate(OutputPanel &panel, int index)
{
    panel.frameRateIndex = index;
    panel.frameRateLabel = entryAt(panel.frameRates, index);
}

OutputFlags CurrentOutputFlags()
{
    return {g_bMp4Mux.load(), g_bH264Video.load(), g_bPspThumb.load(), g_b3gpPass.load()};
}

OutputSelection SelectionFromPanel(const OutputPanel &panel)
{
    OutputSelection selection;
    selection.type = panel.type;
    const qsizetype x = panel.frameSizeLabel.indexOf(QLatin1Char('x'));
    selection.strWidth = x < 0 ? panel.frameSizeLabel : panel.frameSizeLabel.left(x);
    selection.strHeight = x < 0 ? QString() : panel.frameSizeLabel.mid(x + 1);
    selection.strBitrate = panel.bitrateLabel;
    selection.strFrameRate = panel.frameRateLabel;
    selection.flags = CurrentOutputFlags();
    return selection;
}
