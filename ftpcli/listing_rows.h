#pragma once
// How lunaro-ftp prints a parsed listing: one entry a line, as a table for
// people or tab-separated for scripts.
#include <string>

#include "ftpcli/ftp_cli_options.h"
#include "net/ftp/ftp_list.h"

namespace lunaro::ftpcli {

// "YYYY-MM-DD HH:MM:SS" of a local date-time (days since 1899-12-30).
std::string FormatListingTime(double dateTime);

// TSV: name, directory 0/1, size, date, and the mask that matched ("EPLF",
// or "MLSD" for an MLSD entry). The name keeps its bytes; only control
// bytes, which would break the line, are written as \xNN.
std::string TsvRow(const net::TFTPListRec& record);
// Table: kind, size, date and the name made safe for a terminal.
std::string TableRow(const net::TFTPListRec& record);

// Every record of the list, one row each.
std::string ListingRows(const net::TFTPList& list, TListFormat format);

}  // namespace lunaro::ftpcli
