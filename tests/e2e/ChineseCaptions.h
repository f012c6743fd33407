#ifndef WIREDCLSTAB_E2E_CHINESECAPTIONS_H
#define WIREDCLSTAB_E2E_CHINESECAPTIONS_H

namespace e2e {

// The Chinese warning captions as the plug-in's platform encodes them:
// code page 936 (GBK) on Windows, UTF-8 on Linux. Written as byte escapes
// in ChineseCaptions_win32.cpp and ChineseCaptions_posix.cpp.
struct ChineseCaptions {
    static const char fileMissing[];      // 文件不存在
    static const char formatError[];      // 文件格式错误!
    static const char notReadable[];      // 文件不存在!
    static const char notConfiguration[]; // 文件不是关联配置!
};

} // namespace e2e

#endif
