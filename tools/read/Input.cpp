#include "Input.h"

#include "DisplayText.h"
#include "HistoryFileName.h"
#include "InputFile.h"

namespace Quorvel::Read {

namespace {

// Memory that owns (shares) its bytes.
class SharedBytesSource : public MemorySource {
  public:
    SharedBytesSource(std::shared_ptr<const std::string> bytes, std::uint64_t offset)
        : MemorySource(*bytes, static_cast<std::size_t>(offset)), owner(std::move(bytes)) {}

  private:
    std::shared_ptr<const std::string> owner;
};

}  // namespace

Input Input::file(std::filesystem::path path, bool inFolder) {
    Input input;
    input.inFolder = inFolder;
    input.displayName = Tools::displayPath(path);
    input.unfinishedJournal = Format::isUnfinishedSessionName(Tools::displayPath(path.filename()));
    input.filePath = std::move(path);
    return input;
}

Input Input::bytes(std::string name, std::string bytes) {
    Input input;
    input.unfinishedJournal = Format::isUnfinishedSessionName(name);
    input.displayName = std::move(name);
    input.content = std::make_shared<const std::string>(std::move(bytes));
    return input;
}

std::unique_ptr<ByteSource> Input::open(std::uint64_t offset) const {
    if (content) {
        return std::make_unique<SharedBytesSource>(content, offset);
    }
    return std::make_unique<InputFile>(filePath, offset);
}

}  // namespace Quorvel::Read
