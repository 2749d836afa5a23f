// Files in and out: a picked save as the in-memory file system reads it,
// and Apply's copy as a Blob of the picked file's slices.

// A picked or dropped file is never copied whole. The model reads a save
// from its start, through a file of the in-memory file system whose reads
// this script answers from the first bytes of the picked File (the head,
// read before the model is called) and, where the anchor text lies beyond
// the head, from a stretch around its first occurrence. Every other byte
// reads as zero: the model reads the places it decodes from the head, and
// beyond it looks only for the anchor, whose first occurrence is then known.
// Apply's copy is made from slices of the File and the patched bytes.
export const headBytes = 4 << 20;
const scanBytes = 16 << 20;
const stretchBytes = 64 << 10;
// The anchor text, "descr_strat.txt" as UTF-16LE (core/SaveLayout.cpp).
const anchor = Uint8Array.from(Array.from('descr_strat.txt').flatMap((c) => [c.charCodeAt(0), 0]));
// WASI's error numbers, which the in-memory file system reports.
const errno = {EACCES: 2};

export function findAnchor(bytes) {
    for (let at = bytes.indexOf(anchor[0]); at >= 0 && at + anchor.length <= bytes.length;
        at = bytes.indexOf(anchor[0], at + 1)) {
        let k = 1;
        while (k < anchor.length && bytes[at + k] === anchor[k]) ++k;
        if (k === anchor.length) return at;
    }
    return -1;
}

// What the model may read of `file`: its head and the stretch around the
// anchor; `unreadable` when the browser could not read it.
export async function readHead(file) {
    const picked = {file, size: file.size, head: new Uint8Array(0), stretches: [], unreadable: false};
    try {
        picked.head = new Uint8Array(await file.slice(0, Math.min(file.size, headBytes)).arrayBuffer());
        if (picked.size > picked.head.length && findAnchor(picked.head) < 0) {
            // On through the rest, overlapping by the anchor's length less one.
            for (let at = picked.head.length - anchor.length + 1; at < picked.size; at += scanBytes) {
                const bytes = new Uint8Array(await file.slice(at, at + scanBytes + anchor.length - 1).arrayBuffer());
                const found = findAnchor(bytes);
                if (found >= 0) {
                    const start = Math.max(0, at + found - stretchBytes);
                    picked.stretches.push({start, bytes: new Uint8Array(
                        await file.slice(start, at + found + stretchBytes).arrayBuffer())});
                    break;
                }
            }
        }
    } catch (error) {
        picked.unreadable = true;
    }
    return picked;
}

// The file of the in-memory file system that stands for `picked`.
export function makePickedFile(FS, folder, name, picked) {
    const node = FS.createFile(folder, name, {}, true, false);
    node.picked = picked;
    node.usedBytes = picked.size;
    const stream = Object.assign({}, node.stream_ops);
    stream.read = (s, buffer, offset, length, position) => {
        const p = s.node.picked;
        if (p.unreadable) throw new FS.ErrnoError(errno.EACCES);
        const end = Math.min(p.size, position + length);
        if (end <= position) return 0;
        const into = buffer.subarray(offset, offset + (end - position));
        into.fill(0);
        for (const part of [{start: 0, bytes: p.head}, ...p.stretches]) {
            const from = Math.max(position, part.start);
            const to = Math.min(end, part.start + part.bytes.length);
            if (from < to) into.set(part.bytes.subarray(from - part.start, to - part.start), from - position);
        }
        return end - position;
    };
    node.stream_ops = stream;
}

export const fileSystemAccess = () =>
    typeof window.showOpenFilePicker === 'function' && typeof window.showSaveFilePicker === 'function';

// The copy: the save's own bytes with the patches laid over them, as a
// Blob of slices of the picked File; nothing of the save is copied here.
export function copyOf(file, patches) {
    const changed = new Map(); // offset -> byte, the later patch winning
    for (const patch of patches)
        patch.bytes.forEach((byte, k) => changed.set(patch.offset + k, byte));
    const offsets = [...changed.keys()].sort((a, b) => a - b);
    const parts = [];
    let at = 0;
    for (let i = 0; i < offsets.length;) {
        let j = i;
        while (j + 1 < offsets.length && offsets[j + 1] === offsets[j] + 1) ++j;
        parts.push(file.slice(at, offsets[i]));
        parts.push(Uint8Array.from(offsets.slice(i, j + 1), (o) => changed.get(o)));
        at = offsets[j] + 1;
        i = j + 1;
    }
    parts.push(file.slice(at));
    return new Blob(parts, {type: 'application/octet-stream'});
}

export function offerDownload(blob, name) {
    const url = URL.createObjectURL(blob);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    link.hidden = true;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
}
