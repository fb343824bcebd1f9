#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zovrena::web {

// The built front end: pages and styles in <root>/static, compiled modules in <root>/dist, served
// as "/", "/<name>.html|css|svg" and "/js/[<folder>/]<name>.js". Names are plain lower-case words,
// so a request can never leave those folders.
class StaticFiles {
  public:
    struct File {
        std::string content;
        std::string contentType;
    };

    explicit StaticFiles(std::filesystem::path root) : root_(std::move(root)) {}

    std::optional<File> get(std::string_view urlPath) const;

    // What a signed-out browser may fetch: the sign-in page and the files it uses.
    static bool isPublic(std::string_view urlPath);

    // Whether `root` holds a built front end.
    static bool looksBuilt(const std::filesystem::path& root);

    const std::filesystem::path& root() const { return root_; }

  private:
    std::optional<std::filesystem::path> resolve(std::string_view urlPath) const;
    std::filesystem::path root_;
};

// Where the built front end is: $ZOVRENA_WEB_ROOT, "web" next to the executable, the source tree
// the executable was built from. Empty when none holds a build.
std::filesystem::path findWebRoot();

}  // namespace zovrena::web
