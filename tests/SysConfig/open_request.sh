#!/usr/bin/env bash
# Opens a sealed reset request with openssl alone: 16-byte header, 256-byte RSA block holding
# the AES-256 key and IV, 4-byte length, AES-256-CBC body. Prints the plain XML.
set -euo pipefail
request=$1 key=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 7 "$request" | grep -q '^XMLPRST$'
dd if="$request" of="$work/rsa.bin" bs=1 skip=16 count=256 status=none
tail -c +277 "$request" > "$work/body.bin"
openssl pkeyutl -decrypt -inkey "$key" -pkeyopt rsa_padding_mode:pkcs1 -in "$work/rsa.bin" -out "$work/key.bin"
hex=$(od -An -tx1 -v "$work/key.bin" | tr -d ' \n')
openssl enc -d -aes-256-cbc -K "${hex:0:64}" -iv "${hex:64:32}" -in "$work/body.bin"
