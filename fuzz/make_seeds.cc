// Writes the seed corpora of the fuzz targets from the test fixtures:
//   make_seeds SOURCE_DIR OUT_DIR
// gives OUT_DIR/conf, OUT_DIR/inputs and OUT_DIR/schedule, one file per seed,
// from the fixture builders, the schedule test cases and examples/.
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "epgindex/schedule_cases.h"
#include "inputs/default_inputs.h"
#include "testing/conf_builder.h"
#include "testing/inputs_builder.h"
#include "testing/schedule_builder.h"

namespace {

// The longest input the text targets are run with (fuzz/run.sh).
constexpr size_t kTextMax = 64 * 1024;

struct Seed {
  std::string name;
  std::string bytes;
};

void makeDir(const std::string& path) {
  if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
    perror(path.c_str());
    exit(1);
  }
}

void writeSeeds(const std::string& dir, const std::vector<Seed>& seeds) {
  makeDir(dir);
  for (const Seed& seed : seeds) writeFile(dir + "/" + seed.name, seed.bytes);
}

// conf_fuzz reads the layout from the first byte.
std::string current(const std::string& bytes) { return std::string(1, '\0') + bytes; }
std::string older(const std::string& bytes) { return std::string(1, '\1') + bytes; }

std::vector<Seed> confSeeds(const std::string& source) {
  const std::string examplesCurrent = readFile(source + "/examples/current/conf.bin");
  const std::string examplesOlder = readFile(source + "/examples/older/conf.bin");
  ConfBuilder slots = ConfBuilder().storageIndex(4).slot(0, "CSAT(FR)", 1).slot(2, "EnigmaCache", 1);
  return {
      {"example-current", current(examplesCurrent)},
      {"example-older", older(examplesOlder)},
      {"zero-current", current(ConfBuilder().bytes())},
      {"zero-older", older(ConfBuilder(LAYOUT_OLDER).bytes())},
      {"slots", current(slots.bytes())},
      {"all-slots", current(ConfBuilder()
                                .storageIndex(5)
                                .slot(0, "MyXMLTV", 1)
                                .slot(1, "SavedCache", -1)
                                .slot(2, "EnigmaCache", 2)
                                .slot(3, std::string(32, 'N'), 1)
                                .slot(4, "NordicTEAM", 1)
                                .bytes())},
      {"checksum-wrong", current(slots.checksum(1).bytes())},
      {"ff-older", older(ConfBuilder(LAYOUT_OLDER).fill(0xFF).storageIndex(3).bytes())},
      {"index-out", older(ConfBuilder(LAYOUT_OLDER).storageIndex(7).bytes())},
      {"one-short", current(ConfBuilder().storageIndex(2).truncate(2199).bytes())},
      {"older-as-current", current(examplesOlder)},
      {"current-as-older", older(examplesCurrent)},
      {"extended", older(ConfBuilder(LAYOUT_OLDER).storageIndex(6).append("tail").bytes())},
  };
}

std::vector<Seed> inputsSeeds(const std::string& source) {
  std::string crlf;
  {
    InputsBuilder file;
    file.lineEnd("\r\n");
    const std::string text = defaultInputsText;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
      file.line(text.substr(start, end - start));
    }
    crlf = file.bytes();
  }
  const InputColumns x;
  return {
      {"defaults", defaultInputsText},
      {"example", readFile(source + "/examples/current/inputs.txt")},
      {"crlf", crlf},
      {"forms", InputsBuilder()
                    .definition(x)
                    .line("X elf 0 lbl 5 epg .dat src")
                    .line("X e l f 3600DST lbl 5 epg .dat src")
                    .line("X e l f 3600 DST lbl 5 epg .dat src")
                    .line("X e l f 0DST 12 5 epg .dat src")
                    .line("X e l f-7200 lbl 5 epg .dat src")
                    .definition(InputColumns(x).set(10, "-"))
                    .definition(InputColumns(x).set(10, "http://a.example/x y"))
                    .bytes()},
      {"comments-and-blanks", InputsBuilder()
                                  .line("#")
                                  .line("  # no comment")
                                  .line("")
                                  .line(" \t\v\f\r")
                                  .definition(x)
                                  .raw("X e l f 0 lbl 5 epg .dat last")
                                  .bytes()},
      {"columns-apart", InputsBuilder()
                            .line(x.text("\t"))
                            .line(x.text("   "))
                            .line("X e l f 0 lbl 5 epg .dat")
                            .line(x.text() + " extra words")
                            .bytes()},
      {"limits", InputsBuilder()
                     .definition(InputColumns(x).set(1, std::string(30, 'n')))
                     .definition(InputColumns(x).set(1, std::string(31, 'n')))
                     .definition(InputColumns(x).set(6, std::string(72, 'l')))
                     .definition(InputColumns(x).set(8, std::string(12, 'p')))
                     .definition(InputColumns(x).set(10, std::string(70, 's')))
                     .definition(InputColumns(x).set(5, "2147483647"))
                     .definition(InputColumns(x).set(5, "2147480000DST"))
                     .definition(InputColumns(x).set(7, "-2147483649"))
                     .bytes()},
      {"long-line", InputsBuilder()
                        .definition(InputColumns(x).set(10, std::string(2022 - 25, 's')))
                        .definition(InputColumns(x).set(10, std::string(2021 - 25, 's')))
                        .bytes()},
      {"nul-bytes", InputsBuilder()
                        .raw(std::string("X e l f 0 lbl 5 epg .dat src") + '\0' + "tail\n")
                        .raw(std::string("X e l f 0 lbl") + '\0' + " 5 epg .dat src\n")
                        .bytes()},
      {"duplicates", InputsBuilder()
                         .definition(InputColumns(x).set(1, "A").set(6, "first"))
                         .definition(InputColumns(x).set(1, "A").set(6, "second"))
                         .bytes()},
  };
}

std::vector<Seed> scheduleSeeds(const std::string& source) {
  std::vector<Seed> seeds = {{"example", readFile(source + "/examples/schedule.txt")}};
  for (const ScheduleCase& c : scheduleCases()) {
    seeds.push_back({c.name, c.schedule.substr(0, kTextMax)});
  }
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s SOURCE_DIR OUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string source = argv[1], out = argv[2];
  makeDir(out);
  writeSeeds(out + "/conf", confSeeds(source));
  writeSeeds(out + "/inputs", inputsSeeds(source));
  writeSeeds(out + "/schedule", scheduleSeeds(source));
  return 0;
}
