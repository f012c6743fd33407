#ifndef WIREDCLSTAB_E2E_CHINESECAPTIONS_H
#define WIREDCLSTAB_E2E_CHINESECAPTIONS_H

namespace e2e {

// The Chinese warning captions byte for byte as the plug-in must show them,
// written here apart from the plug-in's own table so that they check it:
// code page 936 (GBK) on Windows, UTF-8 on Linux.
struct ChineseCaptions {
#ifdef _WIN32
    static constexpr const char* fileMissing = "\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA"; // 文件不存在
    static constexpr const char* formatError = "\xCE\xC4\xBC\xFE\xB8\xF1\xCA\xBD\xB4\xED\xCE\xF3\x21"; // 文件格式错误!
    static constexpr const char* notReadable = "\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA\x21"; // 文件不存在!
    static constexpr const char* notConfiguration =
        "\xCE\xC4\xBC\xFE\xB2\xBB\xCA\xC7\xB9\xD8\xC1\xAA\xC5\xE4\xD6\xC3\x21"; // 文件不是关联配置!
#else
    static constexpr const char* fileMissing = "\xE6\x96\x87\xE4\xBB\xB6\xE4\xB8\x8D\xE5\xAD\x98\xE5\x9C\xA8";
    static constexpr const char* formatError =
        "\xE6\x96\x87\xE4\xBB\xB6\xE6\xA0\xBC\xE5\xBC\x8F\xE9\x94\x99\xE8\xAF\xAF\x21";
    static constexpr const char* notReadable = "\xE6\x96\x87\xE4\xBB\xB6\xE4\xB8\x8D\xE5\xAD\x98\xE5\x9C\xA8\x21";
    static constexpr const char* notConfiguration =
        "\xE6\x96\x87\xE4\xBB\xB6\xE4\xB8\x8D\xE6\x98\xAF\xE5\x85\xB3\xE8\x81\x94\xE9\x85\x8D\xE7\xBD\xAE\x21";
#endif
};

} // namespace e2e

#endif
