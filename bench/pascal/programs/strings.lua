-- String building: appending numbers, then scanning the result.
local parts = {}
for i = 1, 2000000 do
  parts[#parts + 1] = tostring(i % 10)
end
local s = table.concat(parts)
local n = 0
for i = 1, #s do
  if s:sub(i, i) == "7" then n = n + 1 end
end
print(#s .. " " .. n)
