#pragma once

// The "输出路径" (output path) button: shows the product folder (root/Zepora-ZPX) in the desktop's
// file manager. False when no program took the request.
bool OnOutputDir();
