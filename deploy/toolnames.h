#pragma once

// File names of the four tools in the tool folder (the ".exe" of Windows builds is dropped).
inline constexpr char kEncoderTool[] = "mencoder";
inline constexpr char kProberTool[] = "mplayer";
inline constexpr char kSecondEncoderTool[] = "ffmpeg";
inline constexpr char kMuxerTool[] = "mp4creator";
