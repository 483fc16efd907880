// SOUND blocks of the world text format, and the copies of the sound files beside a saved world.
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "api/sound_manager.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "platform/paths.h"
#include "platform/safe_write.h"
#include "world/engine_state.h"

namespace fs = std::filesystem;

namespace {

constexpr double world_reach = 1000;

bool splits(char c) { return c == ' ' || c == ',' || c == '\t' || c == '\n' || c == '\r'; }

// Reads the words of a block one at a time, as the reader splits them.
struct block_words {
    std::string_view text;
    size_t pos = 0;

    std::string_view next() {
        while (pos < text.size() && splits(text[pos])) ++pos;
        const size_t start = pos;
        while (pos < text.size() && !splits(text[pos])) ++pos;
        return text.substr(start, pos - start);
    }
};

int16_t kind_of_word(std::string_view word) {
    if (word == "object") return sound_on_object;
    if (word == "polygon") return sound_on_polygon;
    if (word == "group") return sound_on_group;
    return sound_on_nothing;
}

const char* kind_word(const sound_object* s) {
    switch (s->entity ? s->entity_kind : int16_t{sound_on_nothing}) {
    case sound_on_object: return "object";
    case sound_on_polygon: return "polygon";
    case sound_on_group: return "group";
    default: return sound_texts::no_object;
    }
}

// The reader splits words at these characters: a written name keeps them as '_'.
std::string one_word(const std::string& name) {
    std::string word = name;
    for (char& c : word) {
        if (splits(c)) c = '_';
    }
    return word;
}

struct sound_block {
    int16_t kind = sound_on_nothing;
    std::string entity_name;
    std::string file_name;
    size_t end = 0;  // just past the block and the blanks after it
};

// The block's words in order; false at the first missing or wrong one.
bool parse_block(std::string_view text, sound_block& block) {
    block_words words{text};
    if (words.next() != "SOUND:" || words.next().empty()) return false;
    if (words.next() != "OBJECT_TYPE:") return false;
    const std::string_view kind = words.next();
    if (kind.empty() || words.next() != "OBJECT_NAME:") return false;
    const std::string_view entity = words.next();
    if (entity.empty() || words.next() != "FILE_NAME:") return false;
    const std::string_view file = words.next();
    if (file.empty() || words.next() != "END_SOUND:") return false;
    block.kind = kind_of_word(kind);
    block.entity_name = entity;
    block.file_name = file;
    // The closing name, when it stands on the END_SOUND: line, then every blank.
    size_t at = words.pos;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == ',')) ++at;
    while (at < text.size() && !splits(text[at])) ++at;
    while (at < text.size() && splits(text[at])) ++at;
    block.end = at;
    return true;
}

std::string sounds_folder(const char* directory) {
    const std::string d = directory ? directory : "";
    return d.empty() ? sound_texts::sounds_folder : d + "\\" + sound_texts::sounds_folder;
}

bool make_folder(const std::string& folder) {
    return plat_directory_exists(folder) || jcreate_directory(folder.c_str()) == 0;
}

}  // namespace

int read_world_sound(const char* text, const char* directory, int* used) {
    Sound_manager& m = sound_manager();
    if (!m.reader_started) {
        m.reader_started = true;
        sound_init();
    }
    sound_block block;
    if (!text || !used || !parse_block(text, block)) return -1;
    *used = static_cast<int>(block.end);
    // Without the library the world still loads, without its sounds; a file's polygons taken
    // into another world bring none.
    if (!m.library_loaded || engine_state_is_scratch()) return 0;
    const std::string path = sounds_folder(directory) + "\\" + block.file_name;
    sound_load_for_world(path.c_str(), block.kind, block.entity_name.c_str(), world_reach);
    return 0;
}

int write_world_sounds(FILE* file, const char* directory) {
    int result = 0;
    const std::string folder = sounds_folder(directory);
    bool folder_made = false;
    for (const sound_object* s : sound_manager().sounds) {
        if (!folder_made && !make_folder(folder)) {
            report_errorf(sound_texts::copy_failed, s->file, folder.c_str());
            return -1;
        }
        folder_made = true;
        const std::string file_name = one_word(get_file_name(s->file));
        const std::string copy = folder + "\\" + file_name;
        if (!copy_file_if_newer(s->file, copy.c_str())) {
            report_errorf(sound_texts::copy_failed, s->file, copy.c_str());
            result = -1;
        }
        const std::string name = one_word(s->name);
        if (std::fprintf(file, sound_texts::block, name.c_str(), kind_word(s), one_word(sound_entity_name(s)).c_str(),
                         file_name.c_str(), name.c_str()) < 0)
            result = -1;
    }
    return result;
}

int copy_file_if_newer(const char* source, const char* destination) {
    if (!source || !destination) return 0;
    std::error_code error;
    const std::string from = plat_path_resolve(source);
    const std::string to = plat_path_resolve(destination);
    const auto source_time = from.empty() ? fs::file_time_type::min() : fs::last_write_time(from, error);
    if (!to.empty()) {
        std::error_code destination_error;
        const auto destination_time = fs::last_write_time(to, destination_error);
        if (!destination_error && destination_time >= source_time) return 1;
    }
    if (from.empty() || error) return 0;
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(from.c_str(), &data, &size) != 0) return 0;
    const plat_write_result written = plat_write_file(destination, data, static_cast<size_t>(size));
    engine_free(data);
    if (written != PLAT_WRITE_OK) return 0;
    // As a system copy does, the copy keeps the source's time.
    fs::last_write_time(plat_path_resolve(destination), source_time, error);
    return 1;
}
