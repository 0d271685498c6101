#include "net/ftp/ftp_list.h"

namespace lunaro::net {

// Each text exactly as servers lay their lines out; a backslash means the
// entry continues on the next line, \xA7 that the line must end there.
const std::vector<std::string>& BuiltInListMasks() {
    static const std::vector<std::string> masks = {
    "pppppppppp $!!!S*$TTT$DD$hh:mm:ss$YYYY$n*",
    "pppppppppp $!!!S*$DD$TTT$hh:mm:ss$YYYY$n*",
    "pppppppppp $!!!S*$TTT$DD$UUUUU$n*",
    "pppppppppp $!!!S*$DD$TTT$UUUUU$n*",
    "pppppppppp $!!S*$TTT$DD$UUUUU$n*",
    "pppppppppp $!S*$TTT$DD$UUUUU$n*",
    "d            $!S*$TTT$DD$UUUUU$n*",
    "MM DD YY  hh mmH !S* n*",
    "MM DD YY  hh mmH $ d!n*",
    "MM DD YYYY  hh mmH !S* n*",
    "MM DD YYYY  hh mmH $ d!n*",
    "DD MM YYYY  hh mmH !S* n*",
    "DD MM YYYY  hh mmH $ d!n*",
    "v*$  DD TTT YYYY hh mm",
    "v*$DD TTT YYYY hh mm ss",
    "v*$D TTT YYYY hh mm",
    "v*$!DD TTT YYYY hh mm ss",
    "v*\\$!DD TTT YYYY hh mm ss",
    "v*$!D TTT YYYY hh mm ss",
    "v*\\$!D TTT YYYY hh mm ss",
    "v*$!D TTT YYYY hh mm ss",
    "n*$                 YYYY MM DD hh mm$S*",
    "v*$!DD TTT YYYY hh mm",
    "$!: :n*",
    "!S*$MM DD YY hh mm ss !n*",
    "!S*$DD MM YY hh mm ss !n*",
    "n*!S*$MM DD YY hh mm ss d",
    "n*!S*$DD MM YY hh mm ss d",
    "$S*    TTT DD YYYY  hh mm ss $n* $ d",
    "$S*    TTT DD YYYY  hh mm ss $n*",
    "d    $S*$TTT DD YYYY  hh mm$n*",
    "d    $S*$TTT DD$hh mm$n*",
    "nnnnnnnn.nnn  dSSSSSSSSSSS MM DD YY  hh mmH",
    "-   SSSSS            YY MM DD hh mm ss  n*",
    "- d=  SSSSS  YY MM DD hh mm ss  n*",
    "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn               SSSSSSSSS MM DD YYYY hh mm",
    "n*\\x                                               SSSSSSSSS MM DD YYYY hh mm",
    "-     SSSSSSSSSSSS           d   MM DD YYYY   hh mm  n*",
    "-         YY MM DD hhmm d                        SSSSSSSSS n*",
    "nnnnnnnn                   SSSSSSS DD TTT YY hh mm ss",
    "-             YYYY MM DD                     SSSSS   d=O n*",
    "             $S* MM DD YY hh mm ss  !n*",
    "d            $S* MM DD YY           !n*",
    "ppppppp $!!!S*$TTT$DD$YYYY$n*",
    "pppppppppp                        SSSSSSSSSS DD !YYYY n*",
    "pppppppppp                        SSSSSSSSSS DD !hh mm n*",
    "pppppppppp                       SSSSSSSSSS DD MM!hh mm n*",
    "pppppppppp                       SSSSSSSSSS DD MM YYYY  n*",
    "n*.$n*$             SSSSSSSSSS            YYYY-MM-DD hh:mm:ss -",
    "nnnnnnnnnnnnnnnnn d          -          -          - YYYY-MM-DD hh:mm:ss -",
    "       dxx                                              n*",
    "n*\xA7",
    "nnnnnnnnnnnnnnnnn  x           SSSSSSSSSS            YYYY-MM-DD hh:mm:ss -",
    "nnnnnnnnnnnnnnnnn d          -          -          - YYYY-MM-DD hh:mm:ss -",
    };
    return masks;
}

}  // namespace lunaro::net
