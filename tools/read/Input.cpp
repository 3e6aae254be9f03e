#include "Input.h"

#include "DisplayText.h"
#include "InputFile.h"

namespace Quorvel::Read {

namespace {

// Memory that owns (shares) its bytes.
class SharedBytesSource : public MemorySource {
  public:
    explicit SharedBytesSource(std::shared_ptr<const std::string> bytes)
        : MemorySource(*bytes), owner(std::move(bytes)) {}

  private:
    std::shared_ptr<const std::string> owner;
};

}  // namespace

Input Input::file(std::filesystem::path path) {
    Input input;
    input.displayName = Tools::displayPath(path);
    input.filePath = std::move(path);
    return input;
}

Input Input::bytes(std::string name, std::string bytes) {
    Input input;
    input.displayName = std::move(name);
    input.content = std::make_shared<const std::string>(std::move(bytes));
    return input;
}

std::unique_ptr<ByteSource> Input::open() const {
    if (content) {
        return std::make_unique<SharedBytesSource>(content);
    }
    return std::make_unique<InputFile>(filePath);
}

}  // namespace Quorvel::Read
