# Each function defined in the files read: "file name first last contracted",
# first being the line its ACSL contract opens on, if it has one ("/*@" at the
# start of a line right before it), last the line of its closing brace.
FNR == 1 { contract = 0; pending = 0; body = 0 }
/^\/\*@/ { contract = FNR }
!body && !pending && /^[A-Za-z_][^=;#]*[A-Za-z0-9_]\(/ && !/^(typedef|extern|return)/ &&
    !/__attribute__/ { head = $0; first = contract ? contract : FNR; pending = 1 }
pending && /; *$/ { pending = 0; contract = 0 }
pending && /\{ *$/ {
    name = head; sub(/\(.*/, "", name); sub(/.*[ *]/, "", name)
    pending = 0; body = 1; contracted = contract ? 1 : 0; contract = 0
}
body && /^}/ { print FILENAME, name, first, FNR, contracted; body = 0 }
