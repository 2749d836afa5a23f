/**
 * @fileoverview The names in the module's file system that the page's script calls: the Closure
 * Compiler, which minifies the module's JavaScript, keeps every name declared here.
 * @externs
 */
/** @const */ var VarnholtFileSystemNames = {};
VarnholtFileSystemNames.chmod;
VarnholtFileSystemNames.close;
VarnholtFileSystemNames.contents;
VarnholtFileSystemNames.createDataFile;
VarnholtFileSystemNames.expandFileStorage;
VarnholtFileSystemNames.isDir;
VarnholtFileSystemNames.isFile;
VarnholtFileSystemNames.llseek;
VarnholtFileSystemNames.lookupPath;
VarnholtFileSystemNames.mkdir;
VarnholtFileSystemNames.mount;
VarnholtFileSystemNames.node;
VarnholtFileSystemNames.open;
VarnholtFileSystemNames.read;
VarnholtFileSystemNames.readFile;
VarnholtFileSystemNames.readdir;
VarnholtFileSystemNames.rename;
VarnholtFileSystemNames.rmdir;
VarnholtFileSystemNames.size;
VarnholtFileSystemNames.stat;
VarnholtFileSystemNames.truncate;
VarnholtFileSystemNames.unlink;
VarnholtFileSystemNames.unmount;
VarnholtFileSystemNames.usedBytes;
VarnholtFileSystemNames.write;
VarnholtFileSystemNames.writeFile;
