#!/usr/bin/env bash
# Prints the demonstration session of tools/demo.sh in v8host's call syntax
# (v8host --help): the life of one driver object as the 1C:Enterprise
# platform lives it. The settings are those of the add-in's settings
# template, resources/Parameters.xml, with its default values. ":present N"
# is not v8host's: whoever runs the session presents tag N to the reader
# there (a double-click on its image in the tag window). ":tags ARGS" runs
# the reader control tool quorvel-tags with ARGS, as a test scenario does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
template="$root/resources/Parameters.xml"

x() { xmllint --xpath "$1" "$template"; }

# A settings value as the platform passes it: numbers and Booleans typed,
# everything else as text.
literal() { # TYPE VALUE
  case "$1" in
    Number) echo "$2" ;;
    Boolean) echo "$2" | tr '[:upper:]' '[:lower:]' ;;
    *) printf '"%s"' "$(printf '%s' "$2" | sed 's/\\/\\\\/g; s/"/\\"/g')" ;;
  esac
}

cat <<'V8S'
:echo
:echo ### The platform meets the driver
GetInterfaceRevision()
GetDescription()
:echo
:echo ### The settings form: the driver's settings template
GetParameters()
:echo
:echo ### The settings the user saved (here: the template's defaults)
V8S
count=$(x 'count(//Parameter)')
for ((i = 1; i <= count; i++)); do
  p="(//Parameter)[$i]"
  name=$(x "string($p/@Name)")
  type=$(x "string($p/@TypeValue)")
  value=$(x "string($p/@DefaultValue)")
  echo "SetParameter(\"$name\", $(literal "$type" "$value"))"
done
cat <<'V8S'
:echo
:echo ### Open the device: the tag window appears at the top right
Open()
:echo
:echo ### The user double-clicks tag 1 in the tag window
:present 1
:echo ### A test scenario presents tag 2 with the control tool quorvel-tags
:tags present 2
:echo
:echo ### A reading session: the driver announces a data package
OpenSessionRFID()
:echo
:echo ### The platform reacts to the "RFID" event and reads the tags
GetDataTagsRFID()
:echo
:echo ### The platform writes a new EPC into tag 2 (memory bank 1: EPC)
SaveDataTagRFID(undefined, "E28011002000589616B408A2", "3034257BF400B7800004CB2F", "", 1)
GetDataTagsRFID()
:echo
:echo ### End of the session, device closed
CloseSessionRFID()
Close()
V8S
