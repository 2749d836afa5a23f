// The browser's front end, a thin host as the Qt and Win32 ones are: it
// builds the editor and the About box from the models' dialog descriptions as
// HTML elements, mirrors the models' control state into them, forwards what
// the user does to one user* call, and answers the models' host calls
// (message boxes, the file picker, downloads, the busy state, focus). Files
// come in by picker or drop and leave through the browser's save dialog or as
// downloads; nothing is sent anywhere. The page's modules: layout.mjs (the
// layout rules), controls.mjs (the elements), dialogs.mjs, files.mjs, and this
// one, the main, which runs the editor.

import {layOut, makeElements} from './controls.mjs';
import {makeDialogs} from './dialogs.mjs';
import {copyOf, fileSystemAccess, headBytes, makePickedFile, offerDownload, readHead} from './files.mjs';

const byId = (id) => document.getElementById(id);
const pictures = window.varnholtPictures;

let M = null; // the WebAssembly module
let editor = null; // M.Editor while the editor runs
const described = new Map(); // control id -> its description
const controls = new Map(); // control id -> its element
const spinOfBox = new Map(); // box id -> the spin that steps it

// --- The editor ------------------------------------------------------------

function buildEditor() {
    const description = M.editorDescription();
    const {outer, inner} = makeElements(description, 'c', M);
    const main = byId('editor');
    layOut(description, main, (c) => outer[c.index], M);
    for (const c of description.controls) {
        if (c.id < 0) continue;
        described.set(c.id, c);
        controls.set(c.id, inner[c.index]);
        if (c.kind === 'spin' && c.spinArrowKeys) spinOfBox.set(c.buddyId, c);
    }
    for (const c of description.controls) if (c.id >= 0) connect(c, inner[c.index]);
    // The save is picked or dropped, never typed: the box shows its name.
    controls.get(M.idSourcePath).readOnly = true;
    for (const [boxId, spin] of spinOfBox) {
        const box = controls.get(boxId);
        box.setAttribute('role', 'spinbutton'); // its values come with the first mirror
        connectSpinKeys(spin, box);
    }
}

// Sets the element of control `id` to the model's state where it differs.
function mirror(id) {
    const element = controls.get(id);
    const c = described.get(id);
    if (!element || !editor) return;
    const state = editor.control(id);
    switch (c.kind) {
    case 'label': {
        const text = c.noPrefix ? state.text : M.displayCaption(state.text);
        if (element.textContent !== text) element.textContent = text;
        element.classList.toggle('disabled', !state.enabled);
        return;
    }
    case 'text': {
        if (element.maxLength !== state.lengthLimit) element.maxLength = state.lengthLimit;
        if (element.value !== state.text) element.value = state.text;
        const spin = spinOfBox.get(id);
        if (spin) {
            const range = editor.control(spin.id);
            setAttribute(element, 'aria-valuemin', String(range.spinMinimum));
            setAttribute(element, 'aria-valuemax', String(range.spinMaximum));
            setAttribute(element, 'aria-valuenow', state.number === null ? '' : String(state.number));
        }
        break;
    }
    case 'check':
    case 'radio':
        if (element.checked !== state.checked) element.checked = state.checked;
        break;
    case 'list': {
        const shown = Array.from(element.options, (o) => o.text);
        if (shown.length !== state.items.length || shown.some((t, i) => t !== state.items[i])) {
            element.replaceChildren(...state.items.map((t) => new Option(t)));
        }
        if (element.selectedIndex !== state.selection) element.selectedIndex = state.selection;
        break;
    }
    case 'spin':
        element.classList.toggle('disabled', !state.enabled);
        mirror(c.buddyId);
        return;
    case 'picture':
        element.disabled = !state.enabled;
        showPicture(id);
        return;
    }
    if (element.disabled !== !state.enabled) element.disabled = !state.enabled;
}

function setAttribute(element, name, value) {
    if (element.getAttribute(name) !== value) element.setAttribute(name, value);
}

// The picture button shows the picture the model picks for its state.
const pictureState = new Map(); // id -> {pressed, focused}
function showPicture(id) {
    const button = controls.get(id);
    const state = pictureState.get(id) || {pressed: false, focused: false};
    const name = M.editorPicture(id, state.pressed, state.focused, !button.disabled);
    const source = pictures[name];
    if (source && button.firstChild.src !== source) button.firstChild.src = source;
}

function connect(c, element) {
    const id = c.id;
    switch (c.kind) {
    case 'text':
        element.addEventListener('input', () => {
            if (refuse(id)) return;
            editor.userSetText(id, element.value);
            mirror(id);
        });
        if (c.digitsOnly)
            element.addEventListener('beforeinput', (event) => {
                if (event.data && /\D/.test(event.data)) event.preventDefault();
            });
        break;
    case 'picture': {
        pictureState.set(id, {pressed: false, focused: false});
        const set = (key, value) => {
            pictureState.get(id)[key] = value;
            showPicture(id);
        };
        element.addEventListener('pointerdown', () => set('pressed', !element.disabled));
        for (const type of ['pointerup', 'pointerleave', 'pointercancel'])
            element.addEventListener(type, () => set('pressed', false));
        element.addEventListener('keydown', (e) => e.key === ' ' && set('pressed', true));
        element.addEventListener('keyup', (e) => e.key === ' ' && set('pressed', false));
        element.addEventListener('focus', () => set('focused', true));
        element.addEventListener('blur', () => set('focused', false));
    }
    // falls through: it is clicked as a button is
    case 'button':
    case 'check':
    case 'radio':
        element.addEventListener('click', () => {
            if (refuse(id)) return;
            const work = () => {
                editor.userClick(id);
                mirror(id);
                // A failed reload leaves nothing on show, as a failed load does.
                if (id === M.idRefresh && editor.control(M.idOutputPath).text === '') startEditor();
            };
            if (copiesTheSave(id)) withProgress('apply', M.progressName(true), reachOf(editor.savePath()), work);
            else work();
        });
        break;
    case 'list':
        element.addEventListener('change', () => {
            if (refuse(id)) return;
            editor.userSelect(id, element.selectedIndex);
            mirror(id);
        });
        break;
    case 'spin':
        connectSpinArrows(c, element);
        break;
    }
}

// While a long command waits for its progress to be painted, the page
// takes no other action: the element goes back to the model's state.
let waiting = false;
function refuse(id) {
    if (!waiting) return false;
    mirror(id);
    return true;
}

function spinStep(spin, step) {
    if (waiting) return;
    editor.userSpin(spin.id, step);
    mirror(spin.id);
    mirror(spin.buddyId);
}

function connectSpinArrows(spin, element) {
    let timer = 0;
    let held = 0;
    const stop = () => {
        clearTimeout(timer);
        timer = 0;
    };
    for (const [arrow, direction] of [[element.firstChild, 1], [element.lastChild, -1]]) {
        const repeat = () => {
            spinStep(spin, direction * M.spinStep(performance.now() - held));
            timer = setTimeout(repeat, M.spinRepeatIntervalMs);
        };
        arrow.addEventListener('pointerdown', (event) => {
            if (event.button !== 0) return;
            event.preventDefault(); // the focus stays where it is
            arrow.setPointerCapture(event.pointerId);
            held = performance.now();
            spinStep(spin, direction);
            timer = setTimeout(repeat, M.spinFirstRepeatDelayMs);
        });
        for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
            arrow.addEventListener(type, stop);
    }
}

// The up and down keys in the box step its spin, as the spin's own keys.
function connectSpinKeys(spin, box) {
    let held = 0;
    box.addEventListener('keydown', (event) => {
        if (event.key !== 'ArrowUp' && event.key !== 'ArrowDown') return;
        if (event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
        event.preventDefault();
        if (!event.repeat) held = performance.now();
        const direction = event.key === 'ArrowUp' ? 1 : -1;
        spinStep(spin, direction * M.spinStep(performance.now() - held));
    });
}

// --- Long commands: a progress the page paints before the work starts -----

// A load or Apply reads a save as far as the model must (its head, or on to
// an anchor that lies beyond it); from this far on, the work may take longer
// than a user waits without a sign (about 200 ms on a slow machine).
const copiesTheSave = (id) => id === M.idApply;
const progressFromBytes = 8 << 20;
// How far into the save at `path` the model reads: the head, or on to the
// anchor where it lies beyond (see files.mjs).
const reachOf = (path) => (held.has(path) ? held.get(path).reach : 0);

function showProgress(name) {
    byId('progress-bar').setAttribute('aria-label', name);
    byId('progress').hidden = false;
    waiting = true;
}

function hideProgress() {
    byId('progress').hidden = true;
    waiting = false;
}

// The work's time is left as a user-timing measure ("varnholt WHAT"), and
// its start as a mark ("varnholt WHAT starts"), for the browser's developer
// tools and the measurements in the README.
function withProgress(what, name, bytes, work, start = performance.now()) {
    const timed = () => {
        performance.mark('varnholt ' + what + ' starts');
        try {
            work();
        } finally {
            performance.measure('varnholt ' + what, {start});
        }
    };
    if (bytes < progressFromBytes) {
        try {
            timed();
        } finally {
            hideProgress(); // shown while the file was read
        }
        return;
    }
    showProgress(name);
    // The second frame comes after the first, with the progress, was painted.
    requestAnimationFrame(() => requestAnimationFrame(() => {
        waiting = false;
        try {
            timed();
        } finally {
            hideProgress();
        }
    }));
}

// --- Dialogs ------------------------------------------------------------------

let dialogs = null; // the message boxes and the About box (web/dialogs.mjs)
let pendingFocus = null; // what the model asked to focus while a box was open
let pendingSelect = null;
const dialogOpen = () => dialogs.isOpen();
const showMessage = (...message) => dialogs.showMessage(...message);

function applyPendingFocus() {
    if (pendingFocus !== null) controls.get(pendingFocus)?.focus();
    if (pendingSelect !== null) controls.get(pendingSelect)?.select();
    pendingFocus = pendingSelect = null;
}

// --- Files in and out ------------------------------------------------------

let picks = 0;
let loads = 0;
const held = new Map(); // path -> {file, handle}: the files the model may name

// A new folder for each file that comes in, so that no two files meet;
// the folders of earlier files go once a new one is handed over.
function newFolder() {
    const folder = M.savesFolder + '/' + ++picks;
    M.FS.mkdir(folder);
    return folder;
}

function removeEarlierFolders(keep) {
    for (const name of M.FS.readdir(M.savesFolder)) {
        const folder = M.savesFolder + '/' + name;
        if (name === '.' || name === '..' || keep.includes(folder)) continue;
        removeTree(folder);
    }
    for (const path of held.keys())
        if (!keep.some((folder) => path.startsWith(folder + '/'))) held.delete(path);
}

function removeTree(path) {
    if (M.FS.isDir(M.FS.stat(path).mode)) {
        for (const name of M.FS.readdir(path))
            if (name !== '.' && name !== '..') removeTree(path + '/' + name);
        M.FS.rmdir(path);
    } else {
        M.FS.unlink(path);
    }
}

// Makes what came in a file of the in-memory file system: a save as its
// head (see above), a folder as a folder.
async function takeIn(entry) {
    const folder = newFolder();
    const path = folder + '/' + entry.name;
    if (entry.isDirectory) {
        M.FS.mkdir(path);
        return {path, folder};
    }
    const picked = await readHead(entry.file);
    makePickedFile(M.FS, folder, entry.name, picked);
    const last = picked.stretches[picked.stretches.length - 1];
    const reach = last ? last.start + last.bytes.length : picked.head.length;
    held.set(path, {file: entry.file, handle: entry.handle || null, reach});
    return {path, folder};
}

// A file that comes in is read (the page stays live meanwhile) and loaded
// as Refresh loads, under its name. A failed load leaves nothing on show:
// the form starts afresh, and the messages say what went wrong.
async function handIn(entries, call) {
    const start = performance.now();
    const name = M.progressName(false);
    // Reading more than the head may take a while: the progress shows at once.
    if (entries.some((e) => e.file && e.file.size > headBytes)) showProgress(name);
    const taken = [];
    for (const entry of entries) taken.push(await takeIn(entry));
    const reach = Math.max(0, ...taken.map((t) => reachOf(t.path)));
    withProgress('load', name, reach, () => {
        call(taken.map((t) => t.path));
        if (editor.control(M.idOutputPath).text === '') {
            startEditor();
        } else {
            // The save now named stays (a new one, or the earlier one when
            // nothing was loaded); the others go.
            const path = editor.savePath();
            removeEarlierFolders([path.slice(0, path.lastIndexOf('/'))]);
        }
        showDropHint();
        // How many files came in, for whoever waits for one.
        document.body.dataset.loads = String(++loads);
    }, start);
}

async function openFilePicker(patterns) {
    // "*.sav;*.xyz" as the browser writes it; "*.*" is every file.
    const accept = [];
    for (const pattern of patterns)
        for (const part of pattern.split(';'))
            if (part.startsWith('*.') && part !== '*.*') accept.push(part.slice(1));
    if (fileSystemAccess()) {
        let handle;
        try {
            [handle] = await window.showOpenFilePicker(accept.length ?
                {types: [{accept: {'application/octet-stream': accept}}]} : {});
        } catch (error) {
            return; // cancelled
        }
        const file = await handle.getFile();
        handIn([{name: file.name, file, handle}], (paths) => editor.userPickedFile(paths[0]));
        return;
    }
    const picker = byId('file-picker');
    picker.accept = accept.join(',');
    picker.value = '';
    picker.click();
}

function connectFiles() {
    const picker = byId('file-picker');
    picker.addEventListener('change', () => {
        const file = picker.files[0];
        picker.value = '';
        if (file)
            handIn([{name: file.name, file}], (paths) => editor.userPickedFile(paths[0]));
    });
    const fileCount = (event) =>
        Array.from(event.dataTransfer.items || []).filter((i) => i.kind === 'file').length;
    const carriesFiles = (event) => Array.from(event.dataTransfer.types).includes('Files');
    const takes = (event) =>
        editor && !waiting && !dialogOpen() && editor.acceptsDrop(fileCount(event));
    document.addEventListener('dragover', (event) => {
        if (!carriesFiles(event)) return;
        // Never let the browser open a dropped file in place of the page.
        event.preventDefault();
        event.dataTransfer.dropEffect = takes(event) ? 'copy' : 'none';
        document.body.classList.toggle('dropping', takes(event));
    });
    document.addEventListener('dragleave', (event) => {
        if (!event.relatedTarget) document.body.classList.remove('dropping');
    });
    document.addEventListener('drop', (event) => {
        document.body.classList.remove('dropping');
        if (!carriesFiles(event)) return;
        event.preventDefault();
        if (!takes(event)) return;
        // The entries must be taken now: the drop's data goes with the event.
        const entries = [];
        for (const item of event.dataTransfer.items) {
            if (item.kind !== 'file') continue;
            const file = item.getAsFile();
            const entry = item.webkitGetAsEntry && item.webkitGetAsEntry();
            entries.push({name: file.name, file, isDirectory: !!entry && entry.isDirectory});
        }
        handIn(entries, (paths) => editor.userDropFiles(paths));
    });
}

// Apply's copy, written where the browser lets the player choose the
// place (starting beside the save), else offered as a download. The model
// hears what became of it; a copy written or offered takes its name.
async function writeCopy(source, output, patches) {
    const start = performance.now();
    const name = output.slice(output.lastIndexOf('/') + 1);
    const picked = held.get(source);
    let fate = M.copyFailed;
    let failure = '';
    try {
        const blob = copyOf(picked.file, patches);
        if (fileSystemAccess()) {
            const options = {suggestedName: name};
            if (picked.handle) options.startIn = picked.handle;
            const handle = await window.showSaveFilePicker(options);
            showProgress(M.progressName(true));
            const writable = await handle.createWritable();
            try {
                await writable.write(blob);
                await writable.close();
            } catch (error) {
                await writable.abort().catch(() => {});
                throw error;
            }
            fate = M.copyWritten;
        } else {
            offerDownload(blob, name);
            fate = M.copyOffered;
        }
    } catch (error) {
        if (error && error.name === 'AbortError') fate = M.copyCancelled;
        else failure = (error && error.name) || 'Error';
    } finally {
        hideProgress();
    }
    if (fate === M.copyWritten || fate === M.copyOffered)
        M.FS.writeFile(output, new Uint8Array(0)); // the name is taken
    if (editor) editor.copyFinished(fate, failure);
    performance.measure('varnholt copy', {start});
}

// The empty page says that a save can be dropped on it.
function showDropHint() {
    const hint = byId('drop-hint');
    hint.textContent = M.dropHint();
    hint.hidden = !!editor && editor.control(M.idOutputPath).text !== '';
}

// --- The editor's host ------------------------------------------------------

const editorHost = {
    showMessage,
    openFilePicker,
    writeCopy,
    setBusy: (busy) => {
        document.body.classList.toggle('busy', busy);
        byId('editor').setAttribute('aria-busy', String(busy));
    },
    setWindowTitle: (title) => {
        document.title = title;
        byId('window-title').textContent = title;
    },
    attachPictures: (id) => showPicture(id),
    addMenuEntries: (entries) => {
        const menu = byId('window-menu');
        for (const entry of entries) {
            if (entry.separator) continue;
            const button = document.createElement('button');
            button.type = 'button';
            button.textContent = entry.text;
            button.addEventListener('click', () => editor.userMenuCommand(entry.commandId));
            menu.append(button);
        }
    },
    runAboutBox: (caption) => dialogs.runAboutBox(caption),
    setFocus: (id) => {
        if (dialogOpen()) pendingFocus = id;
        else controls.get(id)?.focus();
    },
    selectAllText: (id) => {
        if (dialogOpen()) pendingSelect = id;
        else controls.get(id)?.select();
    },
    controlChanged: mirror,
    // Close ends this editing: the page starts afresh, as the program
    // would when opened again. A page is not closed by its own script.
    endModal: () => setTimeout(startEditor),
};

function startEditor() {
    if (editor) editor.delete();
    editor = null;
    removeEarlierFolders([]);
    byId('window-menu').replaceChildren();
    editor = new M.Editor(editorHost);
    editor.initialise();
    editorHost.setWindowTitle(editor.windowTitle());
    showDropHint();
}

// --- Start ------------------------------------------------------------------

async function start() {
    // The module's binary is in the page; nothing is fetched.
    const text = byId('module-binary').textContent;
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    M = await createVarnholt({wasmBinary: bytes});
    const query = new URLSearchParams(window.location.search);
    const wanted = Array.from(navigator.languages || [navigator.language || 'en']);
    const language = M.startLanguage(wanted, query.get('lang') || '');
    document.documentElement.lang = language === 'pseudo' ? 'en' : language;
    M.FS.mkdir(M.savesFolder);
    dialogs = makeDialogs(M, () => applyPendingFocus());
    dialogs.makeMessageBox();
    buildEditor();
    startEditor();
    connectFiles();
    byId('editor').setAttribute('aria-busy', 'false');
    // The first frame that shows the form has been painted once this runs.
    requestAnimationFrame(() => setTimeout(() => performance.mark('varnholt-usable')));
}

start();
