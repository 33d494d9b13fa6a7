// norvo-append-stub EDITOR PLAYER: the build's last step for the editor. The
// editor file is cut back to its own image (so the step may run again), then
// the player's image and one spare byte are appended behind it: the stub the
// builder copies into every stand-alone quest.
#include "model/ExeLayout.h"
#include "model/SafeFile.h"

#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: norvo-append-stub EDITOR PLAYER\n";
        return 2;
    }
    try {
        std::string editor = model::ReadFileBytes(argv[1]);
        editor.resize(static_cast<std::size_t>(model::ExecutableImageSize(editor)));
        std::string player = model::ReadFileBytes(argv[2]);
        player.resize(static_cast<std::size_t>(model::ExecutableImageSize(player)));
        editor += model::MakeStub(player);
        model::WriteFileAtomically(argv[1], editor, 0777, true);
    } catch (const std::exception& e) {
        std::cerr << "norvo-append-stub: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
