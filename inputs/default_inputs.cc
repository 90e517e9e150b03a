#include "inputs/default_inputs.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "inputs/input_list.h"

const char defaultInputsText[] =
    "# QUARN input definitions.\n"
    "# http://quarn.example.org/userguide.html#id\n"
    "#\n"
    "CSAT(FR) e l f  0 mhw-fr 8 epg .dat tsid:044ah-1:0:1:238d:44a:1:c00000:0:0:0:\n"
    "TPS(FR) e l f  0 otv-fr 8 epg .dat tsid:2e18h-1:0:1:5dd:2e18:b0:820000:0:0:0:\n"
    "EnigmaCache c u f 0 - 0 - - -\n"
    "SavedCache s u f 7200 ec-save 5 epg .dat -\n"
    "MHW(NL) e l f  0 mhw-nl 5 epg .dat tsid:0451h-1:0:1:fab:451:35:c00000:0:0:0:\n"
    "MHW(PL) e l f  0 mhw-pl 5 epg .dat tsid:2af8h-1:0:1:1162:2af8:13e:820000:0:0:0:\n"
    "Digital+(ES) e l f  0 mhw-es 5 epg .dat tsid:0422h-1:0:1:75d0:422:1:c00000:0:0:0:\n"
    "SkyItalia(IT) e l f  0 mhw-it 5 epg .dat tsid:0320h-1:0:1:3900:0320:fbff:820000:0:0:0:\n"
    "NordicTEAM e l r -7200 nordicteam 7 tv- .dat http://nordicteam.example.net/\n"
    "Ostrel(EU) e l r 0 ostrel-eu 3 tv- .dat http://quarn.example.org/data/e\n"
    "KULICHIKI e u r -18000 kul-rus 2 kul_ .dat http://kulichiki.example.net/tv/\n"
    "Orvane(NL) x u r 0 orvane-nl 4 tv- .xmltv http://orvane.example.net/xmltv/\n"
    "MyXMLTV x u f 0 myxmltv 4 tv .xmltv -\n";

namespace {

// Writes all bytes, going on after short writes.
bool writeAll(int fd, const char* bytes, size_t length) {
  while (length > 0) {
    ssize_t written = write(fd, bytes, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

int32_t fileSize(const char* path) {
  struct stat info;
  if (path == nullptr || stat(path, &info) != 0) return -1;
  // A huge file must not look absent, or it would be written over.
  return info.st_size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(info.st_size);
}

bool fileExists(const char* path) { return fileSize(path) != -1; }

void writeDefaultInputs() { writeDefaultInputsAt(inputsPath(), stderr); }

void writeDefaultInputsAt(const char* path, FILE* messages) {
  if (path == nullptr || fileExists(path)) return;
  // Exclusive creation: a file that appears meanwhile is left alone too.
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    // A link to nothing is not written through, but the file is not there
    // either: say so, as for any other failure to create it.
    struct stat link;
    bool dangling = errno == EEXIST && lstat(path, &link) == 0 && S_ISLNK(link.st_mode);
    if (errno != EEXIST || dangling) reportErrorTo(messages, errorText(ERR_INPUTS_CREATE), path);
    return;
  }
  bool written = writeAll(fd, defaultInputsText, strlen(defaultInputsText));
  if (close(fd) != 0) written = false;
  if (!written) {
    // A cut file would be kept for good, since it exists from now on.
    unlink(path);
    reportErrorTo(messages, errorText(ERR_INPUTS_CREATE), path);
  }
}

SourceKind sourceKind(const char* source) {
  if (source == nullptr) return SOURCE_NONE;
  // A shorter text stops the comparison at its NUL and equals none of them.
  if (strncmp(source, "http:", 5) == 0) return SOURCE_HTTP;
  if (strncmp(source, "tsid:", 5) == 0) return SOURCE_TSID;
  if (strncmp(source, "otid:", 5) == 0) return SOURCE_OTID;
  return SOURCE_NONE;
}
