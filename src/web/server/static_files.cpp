#include "web/server/static_files.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace zovrena::web {

namespace {

bool plainName(std::string_view name) {
    if (name.empty() || name.size() > 64) {
        return false;
    }
    for (char c : name) {
        const bool allowed =
            (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

const char* contentTypeOf(const std::filesystem::path& file) {
    const auto extension = file.extension();
    if (extension == ".html") {
        return "text/html; charset=utf-8";
    }
    if (extension == ".css") {
        return "text/css; charset=utf-8";
    }
    if (extension == ".js") {
        return "text/javascript; charset=utf-8";
    }
    return "image/svg+xml";
}

}  // namespace

std::optional<std::filesystem::path> StaticFiles::resolve(std::string_view path) const {
    if (path == "/") {
        return root_ / "static" / "index.html";
    }
    if (path.starts_with("/js/") && path.ends_with(".js")) {
        std::string_view rest = path.substr(4, path.size() - 4 - 3);
        std::filesystem::path file = root_ / "dist";
        if (const auto slash = rest.find('/'); slash != std::string_view::npos) {
            const auto folder = rest.substr(0, slash);
            if (!plainName(folder)) {
                return std::nullopt;
            }
            file /= std::string(folder);
            rest = rest.substr(slash + 1);
        }
        if (!plainName(rest)) {
            return std::nullopt;
        }
        return file / (std::string(rest) + ".js");
    }
    static constexpr std::array<std::string_view, 3> pageExtensions = {".html", ".css", ".svg"};
    for (auto extension : pageExtensions) {
        if (path.size() > 1 + extension.size() && path.ends_with(extension)) {
            const auto name = path.substr(1, path.size() - 1 - extension.size());
            if (!plainName(name)) {
                return std::nullopt;
            }
            return root_ / "static" / (std::string(name) + std::string(extension));
        }
    }
    return std::nullopt;
}

std::optional<StaticFiles::File> StaticFiles::get(std::string_view urlPath) const {
    const auto path = resolve(urlPath);
    if (!path) {
        return std::nullopt;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(*path, error)) {
        return std::nullopt;
    }
    std::ifstream in(*path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    return File{content.str(), contentTypeOf(*path)};
}

bool StaticFiles::isPublic(std::string_view urlPath) {
    static constexpr std::array<std::string_view, 5> publicPaths = {
        "/login.html", "/style.css", "/favicon.svg", "/js/login.js", "/js/http.js"};
    for (auto path : publicPaths) {
        if (urlPath == path) {
            return true;
        }
    }
    return false;
}

bool StaticFiles::looksBuilt(const std::filesystem::path& root) {
    std::error_code error;
    return std::filesystem::is_regular_file(root / "static" / "index.html", error) &&
           std::filesystem::is_regular_file(root / "dist" / "host.js", error);
}

std::filesystem::path findWebRoot() {
    std::vector<std::filesystem::path> candidates;
    if (const char* configured = std::getenv("ZOVRENA_WEB_ROOT"); configured && *configured) {
        candidates.emplace_back(configured);
    }
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        candidates.push_back(executable.parent_path() / "web");
    }
#ifdef ZOVRENA_SOURCE_WEB_ROOT
    candidates.emplace_back(ZOVRENA_SOURCE_WEB_ROOT);
#endif
    for (const auto& candidate : candidates) {
        if (StaticFiles::looksBuilt(candidate)) {
            return candidate;
        }
    }
    return {};
}

}  // namespace zovrena::web
