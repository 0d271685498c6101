#include "zipcli/list_command.h"

#include "archive/directory/waux.h"
#include "archive/messages/message_ids.h"

namespace lunaro::zipcli {

namespace {

// Message texts carry CR LF line breaks; a terminal wants LF.
std::string ForTerminal(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out.push_back(c);
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

void Report(std::FILE* err, const std::string& archive, const std::string& prefix, const std::string& text) {
    std::fprintf(err, "lunaro-zip: %s: %s%s\n", archive.c_str(), prefix.c_str(), ForTerminal(text).c_str());
}

}  // namespace

int ListArchive(const std::string& archive, ListFormat format, std::FILE* out, std::FILE* err) {
    archive::TZKMaster master;
    master.Settings.Unattended = true;  // messages come back as text, never as boxes
    std::vector<std::string> warnings;
    master.OnMessage = [&](archive::TZKMaster&, int code, const std::string& text) {
        if (code == archive::msg::ZipStructureWarning || code == archive::msg::FileCommentReadError)
            warnings.push_back(text);
    };
    archive::TZKWAux worker(master);
    worker.StartUp();

    // Rows are made as the entries arrive, while each is at hand, and held
    // back until the whole directory has been read: a damaged archive
    // prints its message and no half listing.
    archive::TZKCenDir& directory = worker.CentralDir();
    TListWriter writer(out, format);
    writer.Begin();
    directory.OnNewName = [&](int position) {
        if (archive::TZKIRec* entry = directory.Items(position)->Rec()) writer.Row(*entry);
    };

    if (worker.LoadZip(archive, true) < 0) {
        writer.Discard();
        worker.Done(false);
        Report(err, archive, "", worker.ErrMessage());
        return 1;
    }
    for (const std::string& warning : warnings) Report(err, archive, "warning: ", warning);

    writer.End();
    worker.Done(true);
    if (!writer.Flush()) {
        std::fprintf(err, "lunaro-zip: cannot write the listing\n");
        return 1;
    }
    return 0;
}

}  // namespace lunaro::zipcli
