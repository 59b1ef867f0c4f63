#pragma once

#include <cstdio>
#include <string>

namespace hw::test {

/// The page script's colour form of a hex code: "#RRGGBB(decimal)".
inline std::string colour(const std::string& hex) {
    const unsigned long rgb = std::stoul(hex, nullptr, 16);
    const unsigned long value = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    return "#" + hex + "(" + std::to_string(value) + ")";
}

/// A colour entry of aspect letter 'B', 'C' or 'D'.
inline std::string entry(char letter, const std::string& id, const std::string& hex) {
    const char lower = static_cast<char>(letter - 'A' + 'a');
    return std::string("?") + letter + id + "$" + letter + "$:" + letter + colour(hex) + lower;
}

inline std::string imageEntry(const std::string& id, const std::string& source, const std::string& repeat,
                              const std::string& modulation, const std::string& oldColour) {
    return "?IM" + id + "$IM$:IM&&" + source + "$rs$" + repeat + "&im?mod" + modulation + "$mod$^oc" + oldColour + "^^";
}

/// A cookie record as the store writes it.
inline std::string cookie(const std::string& name, const std::string& value, const std::string& folder = "/home/u/site/") {
    return name + "\n" + value + "\n~~local~~" + folder + "\n2147483647\n13393021540000000\n*\n";
}

inline std::string readAll(const std::string& path) {
    std::string data;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, n);
        std::fclose(f);
    }
    return data;
}

} // namespace hw::test
