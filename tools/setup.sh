#!/usr/bin/env bash
# Installs what building and testing need on Debian 12: the mingw-w64 cross compilers, Wine with
# 32-bit support, Xvfb, CJK and Wine fonts, the zh_CN.UTF-8 locale, GoogleTest, CMake, Ninja,
# clang (fuzzing) and ImageMagick. Installs only what is missing; safe to run again.
set -euo pipefail

packages=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
          wine wine32:i386 wine64 xvfb xauth x11-utils fonts-wqy-microhei fonts-wine locales
          googletest cmake ninja-build make g++ clang libclang-rt-14-dev imagemagick python3 procps)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The pyenv or system python3 both do; only install Debian's when none is on the PATH.
if command -v python3 >/dev/null 2>&1; then
  missing=("${missing[@]/python3}")
fi
missing=($(printf '%s\n' "${missing[@]}" | sed '/^$/d'))

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine converts Unix-side text (arguments, file names) with the glibc locale, so it must exist.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  "${sudo_cmd[@]}" sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
