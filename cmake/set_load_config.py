"""set_load_config.py IMAGE NM SYMBOLS: names the image's load configuration
(the symbol _load_config_used, which GNU ld leaves unnamed) in its data
directory, as Visual Studio's linker and lld do: its address and the size
its own first field gives. NM lists the symbols of SYMBOLS, the image's
separate debug file (the image itself is stripped). Windows then reads the
configuration, and sets the stack cookie it names before the image runs."""
import struct
import subprocess
import sys

LOAD_CONFIG_ENTRY = 10


def fail(message):
    sys.exit(f"set_load_config.py: {message}")


def main():
    image_path, nm, symbols = sys.argv[1:4]
    listing = subprocess.run([nm, symbols], stdout=subprocess.PIPE, text=True, check=True).stdout
    # "__load_config_used" on i386, where C names take an underscore.
    found = [int(line.split()[0], 16) for line in listing.splitlines()
             if line.split()[-1:] in (["_load_config_used"], ["__load_config_used"])]
    if len(found) != 1:
        fail(f"{symbols}: {len(found)} symbols _load_config_used, not one")
    with open(image_path, "r+b") as image:
        data = bytearray(image.read())
        header = struct.unpack_from("<I", data, 0x3C)[0]
        if data[header:header + 4] != b"PE\0\0":
            fail(f"{image_path}: not a PE image")
        sections, optional_size = struct.unpack_from("<H12xH", data, header + 6)
        optional = header + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        pe32plus = magic == 0x20B
        image_base = struct.unpack_from("<Q" if pe32plus else "<I", data, optional + (24 if pe32plus else 28))[0]
        directories = optional + (112 if pe32plus else 96)
        rva = found[0] - image_base
        table = optional + optional_size
        for i in range(sections):
            virtual_size, address, raw_size, raw_offset = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            if address <= rva < address + max(virtual_size, raw_size):
                offset = raw_offset + rva - address
                break
        else:
            fail(f"{image_path}: _load_config_used at {rva:#x} lies in no section")
        size = struct.unpack_from("<I", data, offset)[0]
        struct.pack_into("<II", data, directories + 8 * LOAD_CONFIG_ENTRY, rva, size)
        image.seek(0)
        image.write(data)


if __name__ == "__main__":
    main()
