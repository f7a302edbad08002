#!/usr/bin/env bash
# The publisher's signing key with openssl: make a key pair, or sign a release.
#   release-key.sh new <folder>   writes <folder>/publisher.pem (the private key: keep it off the
#                                 build machines) and <folder>/publisher.point (the 65-byte public
#                                 point to build with: -DTNVEXA_PUBLISHER_KEY=<folder>/publisher.point)
#   release-key.sh sign <publisher.pem> <file>...
#                                 writes <file>.sig beside each file, signed for the file's own name
#                                 (the program checks it under the name it expects: TnVexa.exe for
#                                 the update, <game>.exe for a game's client): serve it at the file's
#                                 address with ".sig" after the path
#   release-key.sh hex <publisher.pem>
#                                 prints the public point as hex (the "PublisherKey" test switch)
set -euo pipefail
case "${1:-}" in
new)
    dir=${2:?folder}
    mkdir -p "$dir"
    [ ! -e "$dir/publisher.pem" ] || { echo "$dir/publisher.pem exists: not overwritten" >&2; exit 1; }
    (umask 077 && openssl ecparam -name prime256v1 -genkey -noout -out "$dir/publisher.pem")
    openssl ec -in "$dir/publisher.pem" -pubout -outform DER 2>/dev/null | tail -c 65 >"$dir/publisher.point"
    echo "private key: $dir/publisher.pem; build with -DTNVEXA_PUBLISHER_KEY=$dir/publisher.point"
    ;;
sign)
    key=${2:?publisher.pem}
    shift 2
    # What is signed: a fixed context, NUL, the file's name, NUL, then its bytes.
    message() { printf 'TnVexa signed file\0%s\0' "$(basename "$1")"; cat "$1"; }
    for f in "$@"; do
        message "$f" | openssl dgst -sha256 -sign "$key" -out "$f.sig"
        # Checked at once against the public half, as the program will check it.
        message "$f" | openssl dgst -sha256 -verify <(openssl ec -in "$key" -pubout 2>/dev/null) \
            -signature "$f.sig" >/dev/null
        echo "signed $f for the name $(basename "$f") -> $f.sig"
    done
    ;;
hex)
    openssl ec -in "${2:?publisher.pem}" -pubout -outform DER 2>/dev/null | tail -c 65 | xxd -p | tr -d '\n'
    echo
    ;;
*)
    sed -n '2,14p' "$0" >&2
    exit 2
    ;;
esac
