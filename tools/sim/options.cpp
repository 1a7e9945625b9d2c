#include "options.h"

#include <cctype>
#include <charconv>

namespace sim {
namespace {

bool ToInt(const std::string& s, int64_t& v) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

bool HasImageExt(const std::string& path) {
  auto dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == "png" || ext == "bmp";
}

// "N:REST" with a whole N >= 1 and something after the colon.
bool CountAndRest(const std::string& val, int64_t& n, std::string& rest) {
  const auto colon = val.find(':');
  if (colon == std::string::npos || !ToInt(val.substr(0, colon), n) || n < 1 ||
      colon + 1 >= val.size()) {
    return false;
  }
  rest = val.substr(colon + 1);
  return true;
}

// Options that only switch something on, take a text, or take a bounded number.
struct FlagOption {
  const char* name;
  bool Options::*field;
};
constexpr FlagOption kFlags[] = {{"--invincible", &Options::invincible},
                                 {"--bot", &Options::bot},
                                 {"--digest", &Options::digest},
                                 {"--no-draw", &Options::no_draw},
                                 {"--keep-replays", &Options::keep_replays}};
struct TextOption {
  const char* name;
  std::string Options::*field;
};
constexpr TextOption kTexts[] = {{"--input", &Options::input},
                                 {"--trace", &Options::trace},
                                 {"--audio", &Options::audio},
                                 {"--assets", &Options::assets},
                                 {"--record", &Options::record},
                                 {"--verify", &Options::verify},
                                 {"--verify-table", &Options::verify_table}};
struct RangeOption {
  const char* name;
  std::optional<int> Options::*field;
  int64_t lo, hi;
};
constexpr RangeOption kRanges[] = {
    {"--difficulty", &Options::difficulty, 1, 5},   {"--lives", &Options::lives, 0, 99},
    {"--controls", &Options::controls, 0, 7},       {"--sound", &Options::sound, 0, 1},
    {"--freeman", &Options::freeman, 5000, 200000}, {"--wave", &Options::wave, 1, 100}};

template <class T, std::size_t N>
const T* Find(const T (&table)[N], const std::string& name) {
  for (const T& t : table) {
    if (name == t.name) return &t;
  }
  return nullptr;
}

}  // namespace

const char* UsageText() {
  return "usage: swarmbreak-sim [options]\n"
         "Runs the game headless: no window, no sound device, a virtual clock.\n"
         "\n"
         "  --mode game|flow      game (default): start-up, then one game straight away;\n"
         "                        flow: the whole program from the title screen on\n"
         "  --seed N              random seed (in place of the clock)\n"
         "  --frames N            stop after N presented frames\n"
         "  --difficulty D        1..5\n"
         "  --lives L             0..99 reserve men\n"
         "  --invincible          hits on the player cost nothing\n"
         "  --controls M          control mode 0..7\n"
         "  --sound 0|1           sound setting\n"
         "  --freeman P           free man every P points, 5000..200000\n"
         "  --wave W              start games at wave W, 1..100\n"
         "  --input FILE          input script: 'FRAME down|up KEY', 'FRAME joy button N\n"
         "                        down|up', 'FRAME joy x|y -1|0|1', 'FRAME close'; '#' comments\n"
         "  --bot                 autopilot (plays in control mode 4, answers prompts)\n"
         "  --trace FILE          JSON Lines, the game state at every presented frame\n"
         "  --shot FRAME:PATH     save that frame as .png or .bmp (repeatable)\n"
         "  --shots-every K:DIR   save every K-th frame as DIR/frame_NNNNNN.png\n"
         "  --digest              print 'digest <hex>' (hash of the whole game state) and\n"
         "                        'frames <n> score <s> level <l> men <m>' at the end\n"
         "  --no-draw             skip all drawing (faster; state is unchanged)\n"
         "  --audio FILE.wav      save the mixed sound output\n"
         "  --assets DIR          read images/ sounds/ scores/ from DIR (default: .)\n"
         "  --record FILE         save the game's replay (game mode)\n"
         "  --keep-replays        flow mode: every game's replay kept in replays/ and\n"
         "                        scores/replays/ of the assets folder, as the game does\n"
         "  --verify FILE         replay FILE without drawing and check every checkpoint\n"
         "                        and the end (with --assets: the game folder)\n"
         "  --verify-table DIR    verify the replay of every top-ten entry of game folder DIR\n"
         "  --help                this text\n"
         "\n"
         "Exit status: the game's (0, or 1 when an image is missing); 2 for bad options,\n"
         "unusable files or a malformed script.\n"
         "--verify: 0 verified, 1 a checkpoint or end field differs, 2 a bad replay,\n"
         "3 a replay of another rules version.\n";
}

ParseResult ParseOptions(const std::vector<std::string>& args, Options& o, std::string& err) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string a = args[i];
    std::string val;
    bool has_inline = false;
    if (a.rfind("--", 0) == 0) {
      if (auto eq = a.find('='); eq != std::string::npos) {
        val = a.substr(eq + 1);
        a = a.substr(0, eq);
        has_inline = true;
      }
    }
    auto flag = [&]() {
      if (has_inline) {
        err = "option " + a + " takes no value";
        return false;
      }
      return true;
    };
    auto value = [&]() {
      if (has_inline) return true;
      if (i + 1 >= args.size()) {
        err = "option " + a + " needs a value";
        return false;
      }
      val = args[++i];
      return true;
    };
    auto integer = [&](int64_t lo, int64_t hi, int64_t& out) {
      if (!value()) return false;
      if (!ToInt(val, out) || out < lo || out > hi) {
        if (hi == INT64_MAX) {
          err = "option " + a + ": '" + val + "' is not " +
                (lo == 0 ? "a non-negative integer" : "an integer");
        } else {
          err = "option " + a + ": '" + val + "' is not an integer in " + std::to_string(lo) +
                ".." + std::to_string(hi);
        }
        return false;
      }
      return true;
    };
    int64_t v = 0;
    if (const FlagOption* f = Find(kFlags, a)) {
      if (!flag()) return ParseResult::kError;
      o.*(f->field) = true;
    } else if (const TextOption* t = Find(kTexts, a)) {
      if (!value()) return ParseResult::kError;
      o.*(t->field) = val;
    } else if (const RangeOption* r = Find(kRanges, a)) {
      if (!integer(r->lo, r->hi, v)) return ParseResult::kError;
      o.*(r->field) = static_cast<int>(v);
    } else if (a == "--help" || a == "-h") {
      return ParseResult::kHelp;
    } else if (a == "--mode") {
      if (!value()) return ParseResult::kError;
      if (val == "game")
        o.mode = Mode::kGame;
      else if (val == "flow")
        o.mode = Mode::kFlow;
      else {
        err = "option --mode: '" + val + "' is neither 'game' nor 'flow'";
        return ParseResult::kError;
      }
    } else if (a == "--seed") {
      if (!integer(INT64_MIN, INT64_MAX, v)) return ParseResult::kError;
      o.seed = v;
    } else if (a == "--frames") {
      if (!integer(0, INT64_MAX, v)) return ParseResult::kError;
      o.frames = v;
    } else if (a == "--shot") {
      if (!value()) return ParseResult::kError;
      int64_t f = 0;
      std::string path;
      if (!CountAndRest(val, f, path)) {
        err = "option --shot: '" + val + "' is not FRAME:PATH with FRAME >= 1";
        return ParseResult::kError;
      }
      if (!HasImageExt(path)) {
        err = "option --shot: '" + path + "' must end in .png or .bmp";
        return ParseResult::kError;
      }
      o.shots.push_back({f, path});
    } else if (a == "--shots-every") {
      if (!value()) return ParseResult::kError;
      int64_t k = 0;
      std::string dir;
      if (!CountAndRest(val, k, dir)) {
        err = "option --shots-every: '" + val + "' is not K:DIR with K >= 1";
        return ParseResult::kError;
      }
      o.shots_every = k;
      o.shots_dir = dir;
    } else {
      err = "unknown option '" + args[i] + "' (see --help)";
      return ParseResult::kError;
    }
  }
  if (!o.record.empty() && o.mode != Mode::kGame) {
    err = "--record records one game: it needs --mode game";
    return ParseResult::kError;
  }
  if (o.keep_replays && o.mode != Mode::kFlow) {
    err = "--keep-replays keeps the replays of a whole program run: it needs --mode flow";
    return ParseResult::kError;
  }
  if (o.bot && !o.input.empty()) {
    err = "--bot and --input cannot be used together";
    return ParseResult::kError;
  }
  if (o.bot && o.mode == Mode::kFlow && !o.frames) {
    err = "--bot in flow mode never ends on its own: give --frames";
    return ParseResult::kError;
  }
  if (o.bot && o.controls && *o.controls != 4) {
    err = "--bot plays in control mode 4; drop --controls or give 4";
    return ParseResult::kError;
  }
  return ParseResult::kRun;
}

}  // namespace sim
