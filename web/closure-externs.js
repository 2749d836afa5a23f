/**
 * @fileoverview The names in the module's file system that the page's script uses: its calls,
 * a file's node and its stream operations. The Closure Compiler, which minifies the module's
 * JavaScript, keeps every name declared here; a name the page starts to use belongs here too.
 * @externs
 */
/** @const */ var VarnholtFileSystemNames = {};
VarnholtFileSystemNames.chmod;
VarnholtFileSystemNames.close;
VarnholtFileSystemNames.contents;
VarnholtFileSystemNames.createDataFile;
VarnholtFileSystemNames.createFile;
VarnholtFileSystemNames.ErrnoError;
VarnholtFileSystemNames.expandFileStorage;
VarnholtFileSystemNames.isDir;
VarnholtFileSystemNames.isFile;
VarnholtFileSystemNames.llseek;
VarnholtFileSystemNames.lookupPath;
VarnholtFileSystemNames.mkdir;
VarnholtFileSystemNames.mode;
VarnholtFileSystemNames.mount;
VarnholtFileSystemNames.node;
VarnholtFileSystemNames.open;
VarnholtFileSystemNames.read;
VarnholtFileSystemNames.readdir;
VarnholtFileSystemNames.readFile;
VarnholtFileSystemNames.rename;
VarnholtFileSystemNames.rmdir;
VarnholtFileSystemNames.size;
VarnholtFileSystemNames.stat;
VarnholtFileSystemNames.stream_ops;
VarnholtFileSystemNames.truncate;
VarnholtFileSystemNames.unlink;
VarnholtFileSystemNames.unmount;
VarnholtFileSystemNames.usedBytes;
VarnholtFileSystemNames.write;
VarnholtFileSystemNames.writeFile;
