#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <optional>
#include <span>

// The ten output types, in the order in which their radio buttons stand in the output-type group.
enum OutputType {
    OUT_MPG,
    OUT_AVI,
    OUT_RM,
    OUT_3GP,
    OUT_MP4,
    OUT_FLV,
    OUT_PSP,
    OUT_PS3,
    OUT_IPOD_NANO,
    OUT_IPHONE,
};
inline constexpr int kOutputTypeCount = 10;

// A flag value of a profile; Unchanged leaves the process-wide flag as it stands.
enum class FlagValue { Off, On, Unchanged };

struct OutputProfile {
    OutputType type;
    int radioId;                             // control id of the type's radio button
    const char *cliName;                     // how zepora-cli names the type
    const char *radioText;                   // the radio button's caption
    const char *formatText;                  // shown as the description's file format
    std::span<const char *const> frameSizes; // as the frame-size box shows them (sorted by text)
    std::span<const char *const> bitrates;   // in the order added
    std::span<const char *const> frameRates; // in the order added
    const char *defaultFrameSize;
    const char *defaultBitrate;
    const char *defaultFrameRate;
    bool mp4Mux;         // -> g_bMp4Mux
    FlagValue h264Video; // -> g_bH264Video
    bool pspThumb;       // -> g_bPspThumb
    bool threeGpPass;    // -> g_b3gpPass
    bool selectable;     // false for RM: its radio button is never enabled
    int aacBitrate;      // kbit/s of the AAC track the MP4 and PSP passes make; 0: none
};

// The four output flags: written only when a profile is applied, read by the batch for every file.
extern std::atomic<bool> g_bMp4Mux;
extern std::atomic<bool> g_bH264Video;
extern std::atomic<bool> g_bPspThumb;
extern std::atomic<bool> g_b3gpPass;

std::span<const OutputProfile> OutputProfiles();
const OutputProfile &ProfileOf(OutputType type);
std::optional<OutputType> OutputTypeFromCliName(const QString &name);

// The output panel without widgets: the three boxes (their entries and current positions) and the
// four labels of the output description. The main window mirrors it into its controls.
struct OutputPanel {
    OutputType type = OUT_MP4;
    QString formatLabel = QStringLiteral("未知");
    QString frameSizeLabel = QStringLiteral("未知");
    QString bitrateLabel = QStringLiteral("未知");
    QString frameRateLabel = QStringLiteral("未知");
    QStringList frameSizes;
    QStringList bitrates;
    QStringList frameRates;
    int frameSizeIndex = -1;
    int bitrateIndex = -1;
    int frameRateIndex = -1;
};

// Sets the flags, refills the three boxes with the type's lists, selects the defaults and copies
// the current entries into the description labels.
void ApplyOutputProfile(OutputPanel &panel, OutputType type);

// Picking an entry in one of the boxes copies it into its description label.
void OnSelchangeResolution(OutputPanel &panel, int index);
void OnSelchangeBitrate(OutputPanel &panel, int index);
void OnSelchangeFrameRate(OutputPanel &panel, int index);

// The frame-size box keeps its entries sorted by text, character by character.
QStringList SortedAsFrameSizeBox(QStringList sizes);

struct OutputFlags {
    bool mp4Mux = false;
    bool h264Video = false;
    bool pspThumb = false;
    bool threeGpPass = false;
};
OutputFlags CurrentOutputFlags();

// What one batch takes from the output panel.
struct OutputSelection {
    OutputType type = OUT_MP4;
    QString strWidth;
    QString strHeight;
    QString strBitrate;
    QString strFrameRate;
    OutputFlags flags;
};

// Width is the frame-size text before its first "x", height what follows it; nothing is trimmed.
OutputSelection SelectionFromPanel(const OutputPanel &panel);
